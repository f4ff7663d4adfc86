// EchoClient over the proxy gSOAP generates from the document/literal
// wrapped SOAP 1.2 binding: each operation takes its request wrapper element
// (inputX inside) and answers its response wrapper (return_ inside); arrays
// are wrappers around a sequence of items named after their type.
#include <soapInteropTestDocLitSoap12BindingProxy.h>

#include "gsoap_echo.h"
#include "gsoap_exchange.h"

namespace gsoap_interop {
namespace {

using Gsoap = InteropTestDocLitSoap12BindingProxy;
using DocLitProxy = BoundProxy<Gsoap>;
using Scope = CallScope<Gsoap>;

// Sends `request` through the proxy's `method` and answers the response
// wrapper; its pointers live until the call's Scope ends.
template <typename Request, typename Response>
Response Exchange(DocLitProxy& proxy, int (Gsoap::*method)(Request*, Response&), Request& request) {
  Response response;
  proxy.Check((proxy.gsoap.*method)(&request, response));
  return response;
}

// The items of an answered array wrapper; an absent wrapper has none.
template <typename Wrapper, typename Items>
Items ItemsOf(const Wrapper* wrapper, Items Wrapper::*items) {
  return wrapper ? wrapper->*items : Items{};
}

}  // namespace

struct EchoClient::Proxy : DocLitProxy {
  using DocLitProxy::DocLitProxy;
};

EchoClient::EchoClient(const std::string& url) : proxy_(std::make_unique<Proxy>(url)) {}
EchoClient::~EchoClient() = default;

const char* EchoClient::Binding() { return "document/literal SOAP 1.2"; }

std::string EchoClient::EchoString(const std::string& value) {
  Scope scope(*proxy_);
  _i__echoString request;
  request.inputString = value;
  return Exchange(*proxy_, &Gsoap::echoString, request).return_;
}

std::vector<std::string> EchoClient::EchoStringArray(const std::vector<std::string>& values) {
  Scope scope(*proxy_);
  s__ArrayOfstring array;
  array.string = values;
  _i__echoStringArray request;
  request.inputStringArray = &array;
  return ItemsOf(Exchange(*proxy_, &Gsoap::echoStringArray, request).return_, &s__ArrayOfstring::string);
}

int EchoClient::EchoInteger(int value) {
  Scope scope(*proxy_);
  _i__echoInteger request;
  request.inputInteger = value;
  return Exchange(*proxy_, &Gsoap::echoInteger, request).return_;
}

std::vector<int> EchoClient::EchoIntegerArray(const std::vector<int>& values) {
  Scope scope(*proxy_);
  s__ArrayOfint array;
  array.int_ = values;
  _i__echoIntegerArray request;
  request.inputIntegerArray = &array;
  return ItemsOf(Exchange(*proxy_, &Gsoap::echoIntegerArray, request).return_, &s__ArrayOfint::int_);
}

float EchoClient::EchoFloat(float value) {
  Scope scope(*proxy_);
  _i__echoFloat request;
  request.inputFloat = value;
  return Exchange(*proxy_, &Gsoap::echoFloat, request).return_;
}

std::vector<float> EchoClient::EchoFloatArray(const std::vector<float>& values) {
  Scope scope(*proxy_);
  s__ArrayOffloat array;
  array.float_ = values;
  _i__echoFloatArray request;
  request.inputFloatArray = &array;
  return ItemsOf(Exchange(*proxy_, &Gsoap::echoFloatArray, request).return_, &s__ArrayOffloat::float_);
}

SoapStruct EchoClient::EchoStruct(const SoapStruct& value) {
  Scope scope(*proxy_);
  s__SOAPStruct sent = GsoapStructOf<s__SOAPStruct>(value);
  _i__echoStruct request;
  request.inputStruct = &sent;
  return StructOf(Exchange(*proxy_, &Gsoap::echoStruct, request).return_);
}

std::vector<SoapStruct> EchoClient::EchoStructArray(const std::vector<SoapStruct>& values) {
  Scope scope(*proxy_);
  std::vector<s__SOAPStruct> structs;
  for (const SoapStruct& value : values) structs.push_back(GsoapStructOf<s__SOAPStruct>(value));
  s__ArrayOfSOAPStruct array;
  for (s__SOAPStruct& item : structs) array.SOAPStruct.push_back(&item);
  _i__echoStructArray request;
  request.inputStructArray = &array;
  auto response = Exchange(*proxy_, &Gsoap::echoStructArray, request);
  std::vector<SoapStruct> result;
  for (s__SOAPStruct* item : ItemsOf(response.return_, &s__ArrayOfSOAPStruct::SOAPStruct)) {
    result.push_back(StructOf(item));
  }
  return result;
}

void EchoClient::EchoVoid() {
  Scope scope(*proxy_);
  _i__echoVoid request;
  Exchange(*proxy_, &Gsoap::echoVoid, request);
}

std::string EchoClient::EchoBase64(const std::string& bytes) {
  Scope scope(*proxy_);
  std::string sent = bytes;
  _i__echoBase64 request;
  request.inputBase64 = BinaryOf<xsd__base64Binary>(sent);
  return BytesOf(Exchange(*proxy_, &Gsoap::echoBase64, request).return_);
}

std::time_t EchoClient::EchoDate(std::time_t value) {
  Scope scope(*proxy_);
  _i__echoDate request;
  request.inputDate = value;
  return Exchange(*proxy_, &Gsoap::echoDate, request).return_;
}

std::string EchoClient::EchoHexBinary(const std::string& bytes) {
  Scope scope(*proxy_);
  std::string sent = bytes;
  _i__echoHexBinary request;
  request.inputHexBinary = BinaryOf<xsd__hexBinary>(sent);
  return BytesOf(Exchange(*proxy_, &Gsoap::echoHexBinary, request).return_);
}

std::string EchoClient::EchoDecimal(const std::string& value) {
  Scope scope(*proxy_);
  _i__echoDecimal request;
  request.inputDecimal = value;
  return Exchange(*proxy_, &Gsoap::echoDecimal, request).return_;
}

bool EchoClient::EchoBoolean(bool value) {
  Scope scope(*proxy_);
  _i__echoBoolean request;
  request.inputBoolean = value;
  return Exchange(*proxy_, &Gsoap::echoBoolean, request).return_;
}

}  // namespace gsoap_interop
