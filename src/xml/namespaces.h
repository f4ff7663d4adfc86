// The namespace URIs the handler reads and writes, under the names every
// subsystem uses for them, and the tests that sort schema and encoding
// namespaces.
#ifndef QXSOAP_XML_NAMESPACES_H_
#define QXSOAP_XML_NAMESPACES_H_

#include <optional>
#include <string_view>

namespace qxsoap {

inline constexpr std::u16string_view SOAP11_ENV_NS = u"http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::u16string_view SOAP11_ENC_NS = u"http://schemas.xmlsoap.org/soap/encoding/";
inline constexpr std::u16string_view SOAP11_ACTOR_NEXT =
    u"http://schemas.xmlsoap.org/soap/actor/next";
inline constexpr std::u16string_view SOAP12_ENV_NS = u"http://www.w3.org/2003/05/soap-envelope";
inline constexpr std::u16string_view SOAP12_ENC_NS = u"http://www.w3.org/2003/05/soap-encoding";
inline constexpr std::u16string_view SOAP12_RPC_NS = u"http://www.w3.org/2003/05/soap-rpc";
inline constexpr std::u16string_view SOAP12_ENC_NONE =
    u"http://www.w3.org/2003/05/soap-envelope/encoding/none";
inline constexpr std::u16string_view SOAP12_ROLE_NEXT =
    u"http://www.w3.org/2003/05/soap-envelope/role/next";
inline constexpr std::u16string_view SOAP12_ROLE_NONE =
    u"http://www.w3.org/2003/05/soap-envelope/role/none";
inline constexpr std::u16string_view SOAP12_ROLE_ULTIMATE =
    u"http://www.w3.org/2003/05/soap-envelope/role/ultimateReceiver";
inline constexpr std::u16string_view XSD1999_NS = u"http://www.w3.org/1999/XMLSchema";
inline constexpr std::u16string_view XSI1999_NS = u"http://www.w3.org/1999/XMLSchema-instance";
inline constexpr std::u16string_view XSD2000_NS = u"http://www.w3.org/2000/10/XMLSchema";
inline constexpr std::u16string_view XSI2000_NS = u"http://www.w3.org/2000/10/XMLSchema-instance";
inline constexpr std::u16string_view XSD2001_NS = u"http://www.w3.org/2001/XMLSchema";
inline constexpr std::u16string_view XSI2001_NS = u"http://www.w3.org/2001/XMLSchema-instance";
inline constexpr std::u16string_view XML_NS = u"http://www.w3.org/XML/1998/namespace";
inline constexpr std::u16string_view WSDL_SOAP11_NS = u"http://schemas.xmlsoap.org/wsdl/soap/";
inline constexpr std::u16string_view WSDL_SOAP12_NS = u"http://schemas.xmlsoap.org/wsdl/soap12/";

// True for the XML Schema namespaces of 2001, 1999 and 2000/10. Exact
// comparison, as for every test below.
bool IsSchemaNamespace(std::u16string_view uri);

// The schema-instance namespace of the same year as the schema namespace
// `uri`; nullopt when `uri` is not a schema namespace.
std::optional<std::u16string_view> SchemaInstanceNamespaceFor(std::u16string_view uri);

// True for the SOAP 1.1 and SOAP 1.2 encoding namespaces.
bool IsSoapEncodingNamespace(std::u16string_view uri);

// True for a namespace whose types are built in (read by the type-name
// table): a schema namespace or a SOAP encoding namespace.
inline bool IsBuiltInTypeNamespace(std::u16string_view uri) {
  return IsSchemaNamespace(uri) || IsSoapEncodingNamespace(uri);
}

}  // namespace qxsoap

#endif  // QXSOAP_XML_NAMESPACES_H_
