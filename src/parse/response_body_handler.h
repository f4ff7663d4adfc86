// The Body of a response from the next hop: a Fault, or the RPC result
// wrapper with its accessors. Under SOAP 1.1 the wrapper is the first child
// not marked as an independent element (SOAP-ENC:root "0"), and the other
// children are independent multi-reference values filed by id; under SOAP
// 1.2 the first child is the wrapper, later children are not read, and a
// `result` element in the SOAP 1.2 RPC namespace names the accessor that
// holds the return value.
#ifndef QXSOAP_PARSE_RESPONSE_BODY_HANDLER_H_
#define QXSOAP_PARSE_RESPONSE_BODY_HANDLER_H_

#include <optional>

#include "decode/accessor_handler.h"
#include "parse/fault_handlers.h"

namespace qxsoap {

class RpcResultHandler final : public AccessorHandler {
 public:
  RpcResultHandler(XmlElement& element, int32_t soapVersion, AccessorContext& context)
      : AccessorHandler(element, soapVersion, context) {}

  // The SOAP 1.2 `result` element goes to `resultName`; any other child
  // becomes an accessor record, as below any accessor.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  QNameValueHandler resultName{QNameValueHandler::Variant::kResult};
  bool resultSeen = false;
};

class ResponseBodyHandler final : public SoapElementHandler {
 public:
  // A Fault in the envelope namespace of the version (a second one is not
  // read), else the wrapper or an independent element as above.
  ElementHandler* StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                               std::u16string_view qualifiedName, XmlAttributes attributes,
                               const NamespaceScope& scope, XmlElement& element) override;

  // The result wrapper's record; null when there was none.
  RpcResultHandler* rpcResult = nullptr;
  std::optional<FaultHandler> fault;
  bool FaultFound() const { return fault.has_value(); }
  AccessorContext accessors{true};
};

}  // namespace qxsoap

#endif  // QXSOAP_PARSE_RESPONSE_BODY_HANDLER_H_
