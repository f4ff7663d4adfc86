// model/soap_version.h: the SOAP version value of an exchange. Every test for
// SOAP 1.1 compares with 11; any other value is handled as SOAP 1.2.
#ifndef QXSOAP_MODEL_SOAP_VERSION_H_
#define QXSOAP_MODEL_SOAP_VERSION_H_

#include <string_view>

#include "qxcom/types.h"
#include "xml/namespaces.h"

namespace qxsoap {

inline constexpr LONG kSoap11 = 11;
inline constexpr LONG kSoap12 = 12;

// The envelope and encoding namespaces of a version.
inline std::u16string_view EnvelopeNamespace(LONG soapVersion) {
  return soapVersion == kSoap11 ? SOAP11_ENV_NS : SOAP12_ENV_NS;
}
inline std::u16string_view EncodingNamespace(LONG soapVersion) {
  return soapVersion == kSoap11 ? SOAP11_ENC_NS : SOAP12_ENC_NS;
}

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_SOAP_VERSION_H_
