// model/soap_version.h: the SOAP version value of an exchange. Every test for
// SOAP 1.1 compares with 11; any other value is handled as SOAP 1.2.
#ifndef QXSOAP_MODEL_SOAP_VERSION_H_
#define QXSOAP_MODEL_SOAP_VERSION_H_

#include "qxcom/types.h"

namespace qxsoap {

inline constexpr LONG kSoap11 = 11;
inline constexpr LONG kSoap12 = 12;

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_SOAP_VERSION_H_
