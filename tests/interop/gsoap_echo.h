// The interop service's echo operations as a gSOAP client calls them, in
// plain C++ values, so that one test program drives either binding. Each
// binding has its own implementation over the proxy class that soapcpp2
// generated from that binding's WSDL (gsoap_echo_rpc.cpp,
// gsoap_echo_doclit.cpp); the program links exactly one.
#pragma once

#include <ctime>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace gsoap_interop {

struct SoapStruct {
  std::string varString;
  int varInt = 0;
  float varFloat = 0;
  bool operator==(const SoapStruct&) const = default;
};

// A call that did not answer a value: the SOAP fault or the transport error,
// as gSOAP describes it.
class CallFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One gSOAP proxy bound to the service at `url`, strings carried as UTF-8.
// Each Echo call sends its argument and answers what the service echoed;
// it throws CallFailed when no value came back. Binary values are byte
// strings. Not for use by two threads at once.
class EchoClient {
 public:
  explicit EchoClient(const std::string& url);
  ~EchoClient();
  EchoClient(const EchoClient&) = delete;
  EchoClient& operator=(const EchoClient&) = delete;

  // The binding's name, for messages ("rpc/encoded SOAP 1.1", ...).
  static const char* Binding();

  std::string EchoString(const std::string& value);
  std::vector<std::string> EchoStringArray(const std::vector<std::string>& values);
  int EchoInteger(int value);
  std::vector<int> EchoIntegerArray(const std::vector<int>& values);
  float EchoFloat(float value);
  std::vector<float> EchoFloatArray(const std::vector<float>& values);
  SoapStruct EchoStruct(const SoapStruct& value);
  std::vector<SoapStruct> EchoStructArray(const std::vector<SoapStruct>& values);
  void EchoVoid();
  std::string EchoBase64(const std::string& bytes);
  std::time_t EchoDate(std::time_t value);
  std::string EchoHexBinary(const std::string& bytes);
  std::string EchoDecimal(const std::string& value);
  bool EchoBoolean(bool value);

 private:
  struct Proxy;
  std::unique_ptr<Proxy> proxy_;
};

}  // namespace gsoap_interop
