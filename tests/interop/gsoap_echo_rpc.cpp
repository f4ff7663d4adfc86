// EchoClient over the proxy gSOAP generates from the rpc/encoded SOAP 1.1
// binding: parameters are passed as they are, arrays are SOAP-encoded
// arrays (a pointer and a size) and results come back in the response
// structs gSOAP makes for operations whose result is not a plain value.
#include <soapInteropTestSoapBindingProxy.h>

#include "gsoap_echo.h"
#include "gsoap_exchange.h"

namespace gsoap_interop {
namespace {

using RpcProxy = BoundProxy<InteropTestSoapBindingProxy>;
using Scope = CallScope<InteropTestSoapBindingProxy>;

// A SOAP-encoded array of `items`, which must outlive the call. gSOAP
// writes an array whose pointer is null as an empty element without
// SOAP-ENC:arrayType, which the server rightly refuses as an untyped array
// accessor; an empty array is written with its type when the pointer is set.
template <typename Array, typename Item>
Array ArrayOf(std::vector<Item>& items) {
  static Item none;
  Array array;
  array.__ptr = items.empty() ? &none : items.data();
  array.__size = static_cast<int>(items.size());
  return array;
}

// The items of an answered array; an absent array has none.
template <typename Item, typename Array>
std::vector<Item> ItemsOf(const Array* array) {
  if (!array || !array->__ptr) return {};
  return std::vector<Item>(array->__ptr, array->__ptr + array->__size);
}

}  // namespace

struct EchoClient::Proxy : RpcProxy {
  using RpcProxy::RpcProxy;
};

EchoClient::EchoClient(const std::string& url) : proxy_(std::make_unique<Proxy>(url)) {}
EchoClient::~EchoClient() = default;

const char* EchoClient::Binding() { return "rpc/encoded SOAP 1.1"; }

std::string EchoClient::EchoString(const std::string& value) {
  Scope scope(*proxy_);
  std::string result;
  proxy_->Check(proxy_->gsoap.echoString(value, result));
  return result;
}

std::vector<std::string> EchoClient::EchoStringArray(const std::vector<std::string>& values) {
  Scope scope(*proxy_);
  std::vector<std::string> items = values;
  auto array = ArrayOf<ArrayOfstring>(items);
  i__echoStringArrayResponse response;
  proxy_->Check(proxy_->gsoap.echoStringArray(&array, response));
  return ItemsOf<std::string>(response.return_);
}

int EchoClient::EchoInteger(int value) {
  Scope scope(*proxy_);
  int result = 0;
  proxy_->Check(proxy_->gsoap.echoInteger(value, result));
  return result;
}

std::vector<int> EchoClient::EchoIntegerArray(const std::vector<int>& values) {
  Scope scope(*proxy_);
  std::vector<int> items = values;
  auto array = ArrayOf<ArrayOfint>(items);
  i__echoIntegerArrayResponse response;
  proxy_->Check(proxy_->gsoap.echoIntegerArray(&array, response));
  return ItemsOf<int>(response.return_);
}

float EchoClient::EchoFloat(float value) {
  Scope scope(*proxy_);
  float result = 0;
  proxy_->Check(proxy_->gsoap.echoFloat(value, result));
  return result;
}

std::vector<float> EchoClient::EchoFloatArray(const std::vector<float>& values) {
  Scope scope(*proxy_);
  std::vector<float> items = values;
  auto array = ArrayOf<ArrayOffloat>(items);
  i__echoFloatArrayResponse response;
  proxy_->Check(proxy_->gsoap.echoFloatArray(&array, response));
  return ItemsOf<float>(response.return_);
}

SoapStruct EchoClient::EchoStruct(const SoapStruct& value) {
  Scope scope(*proxy_);
  s__SOAPStruct sent = GsoapStructOf<s__SOAPStruct>(value);
  i__echoStructResponse response;
  proxy_->Check(proxy_->gsoap.echoStruct(&sent, response));
  return StructOf(response.return_);
}

std::vector<SoapStruct> EchoClient::EchoStructArray(const std::vector<SoapStruct>& values) {
  Scope scope(*proxy_);
  std::vector<s__SOAPStruct> structs;
  for (const SoapStruct& value : values) structs.push_back(GsoapStructOf<s__SOAPStruct>(value));
  std::vector<s__SOAPStruct*> items;
  for (s__SOAPStruct& item : structs) items.push_back(&item);
  auto array = ArrayOf<ArrayOfSOAPStruct>(items);
  i__echoStructArrayResponse response;
  proxy_->Check(proxy_->gsoap.echoStructArray(&array, response));
  std::vector<SoapStruct> result;
  for (s__SOAPStruct* item : ItemsOf<s__SOAPStruct*>(response.return_)) result.push_back(StructOf(item));
  return result;
}

void EchoClient::EchoVoid() {
  Scope scope(*proxy_);
  i__echoVoidResponse response;
  proxy_->Check(proxy_->gsoap.echoVoid(response));
}

std::string EchoClient::EchoBase64(const std::string& bytes) {
  Scope scope(*proxy_);
  std::string sent = bytes;
  xsd__base64Binary result;
  proxy_->Check(proxy_->gsoap.echoBase64(BinaryOf<xsd__base64Binary>(sent), result));
  return BytesOf(result);
}

std::time_t EchoClient::EchoDate(std::time_t value) {
  Scope scope(*proxy_);
  std::time_t result = 0;
  proxy_->Check(proxy_->gsoap.echoDate(value, result));
  return result;
}

std::string EchoClient::EchoHexBinary(const std::string& bytes) {
  Scope scope(*proxy_);
  std::string sent = bytes;
  xsd__hexBinary result;
  proxy_->Check(proxy_->gsoap.echoHexBinary(BinaryOf<xsd__hexBinary>(sent), result));
  return BytesOf(result);
}

std::string EchoClient::EchoDecimal(const std::string& value) {
  Scope scope(*proxy_);
  std::string result;
  proxy_->Check(proxy_->gsoap.echoDecimal(value, result));
  return result;
}

bool EchoClient::EchoBoolean(bool value) {
  Scope scope(*proxy_);
  bool result = false;
  proxy_->Check(proxy_->gsoap.echoBoolean(value, result));
  return result;
}

}  // namespace gsoap_interop
