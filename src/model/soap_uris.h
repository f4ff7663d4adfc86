// model/soap_uris.h: the SOAP envelope namespaces and role URIs that the
// message model compares against (fault code namespaces, the "none" role).
#ifndef QXSOAP_MODEL_SOAP_URIS_H_
#define QXSOAP_MODEL_SOAP_URIS_H_

#include <string_view>

#include "qxcom/types.h"

namespace qxsoap {

inline constexpr std::u16string_view SOAP11_ENV_NS = u"http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::u16string_view SOAP11_ACTOR_NEXT = u"http://schemas.xmlsoap.org/soap/actor/next";
inline constexpr std::u16string_view SOAP12_ENV_NS = u"http://www.w3.org/2003/05/soap-envelope";
inline constexpr std::u16string_view SOAP12_ROLE_NEXT =
    u"http://www.w3.org/2003/05/soap-envelope/role/next";
inline constexpr std::u16string_view SOAP12_ROLE_NONE =
    u"http://www.w3.org/2003/05/soap-envelope/role/none";
inline constexpr std::u16string_view SOAP12_ROLE_ULTIMATE =
    u"http://www.w3.org/2003/05/soap-envelope/role/ultimateReceiver";

// The SOAP version value of SOAP 1.1; every other value means SOAP 1.2.
inline constexpr LONG kSoap11 = 11;

}  // namespace qxsoap

#endif  // QXSOAP_MODEL_SOAP_URIS_H_
