// What both bindings' EchoClient implementations do around a generated gSOAP
// proxy: set it up for UTF-8 strings, turn a failed call into CallFailed
// with gSOAP's own account of it, free what gSOAP allocated for a call once
// its values are copied out, and move bytes and structs in and out of
// gSOAP's generated types.
#pragma once

#include <stdsoap2.h>

#include <string>

#include "gsoap_echo.h"

namespace gsoap_interop {

// The proxy of one binding and the URL it calls. gSOAP keeps only a
// pointer to the endpoint, so the string lives beside it.
template <typename GsoapProxy>
struct BoundProxy {
  explicit BoundProxy(const std::string& url) : endpoint(url), gsoap(SOAP_C_UTFSTRING) {
    gsoap.soap_endpoint = endpoint.c_str();
  }

  // Throws CallFailed unless `status` says the call answered.
  void Check(int status) {
    if (status == SOAP_OK) return;
    const char* text = soap_fault_string(gsoap.soap);
    const char* detail = soap_fault_detail(gsoap.soap);
    std::string why = text ? text : "no fault string";
    if (detail) why += std::string(" (") + detail + ")";
    throw CallFailed(why + " [gSOAP error " + std::to_string(status) + "]");
  }

  std::string endpoint;
  GsoapProxy gsoap;
};

// Frees the memory gSOAP allocated for one call when the call's values have
// been copied out (the scope of one Echo method).
template <typename GsoapProxy>
class CallScope {
 public:
  explicit CallScope(BoundProxy<GsoapProxy>& proxy) : proxy_(proxy) {}
  ~CallScope() { proxy_.gsoap.destroy(); }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  BoundProxy<GsoapProxy>& proxy_;
};

// gSOAP's binary types (base64Binary, hexBinary) point at bytes they do not
// own here: `bytes` must outlive the call.
template <typename Binary>
Binary BinaryOf(std::string& bytes) {
  Binary binary;
  binary.__ptr = reinterpret_cast<unsigned char*>(bytes.data());
  binary.__size = static_cast<int>(bytes.size());
  return binary;
}

template <typename Binary>
std::string BytesOf(const Binary& binary) {
  if (!binary.__ptr) return {};
  return std::string(reinterpret_cast<const char*>(binary.__ptr), static_cast<std::size_t>(binary.__size));
}

// The interop struct in the class gSOAP generated for it (the same members
// in either binding).
template <typename GsoapStruct>
GsoapStruct GsoapStructOf(const SoapStruct& value) {
  GsoapStruct gsoap;
  gsoap.varString = value.varString;
  gsoap.varInt = value.varInt;
  gsoap.varFloat = value.varFloat;
  return gsoap;
}

template <typename GsoapStruct>
SoapStruct StructOf(const GsoapStruct* gsoap) {
  if (!gsoap) throw CallFailed("the response has no struct");
  return {gsoap->varString, gsoap->varInt, gsoap->varFloat};
}

}  // namespace gsoap_interop
