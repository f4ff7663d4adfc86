#include "parse/response_body_handler.h"

#include "xml/namespaces.h"

namespace qxsoap {

ElementHandler* RpcResultHandler::StartElement(std::u16string_view namespaceUri,
                                               std::u16string_view localName,
                                               std::u16string_view qualifiedName,
                                               XmlAttributes attributes,
                                               const NamespaceScope& scope, XmlElement& element) {
  if (soapVersion != 11 && namespaceUri == SOAP12_RPC_NS && localName == u"result") {
    resultSeen = true;
    return &resultName;
  }
  return AccessorHandler::StartElement(namespaceUri, localName, qualifiedName, attributes, scope,
                                       element);
}

ElementHandler* ResponseBodyHandler::StartElement(std::u16string_view namespaceUri,
                                                  std::u16string_view localName,
                                                  std::u16string_view, XmlAttributes attributes,
                                                  const NamespaceScope& scope,
                                                  XmlElement& element) {
  const bool soap11 = soapVersion == 11;
  if (localName == u"Fault" && namespaceUri == (soap11 ? SOAP11_ENV_NS : SOAP12_ENV_NS)) {
    if (fault) return nullptr;
    fault.emplace(element, soapVersion, accessors);
    if (soap11) fault->SetEncodingStyle(encodingStyle);
    fault->ProcessAttributes(attributes, scope);
    return &*fault;
  }
  if (!soap11) {
    if (rpcResult) return nullptr;
    rpcResult = &AccessorHandler::Make<RpcResultHandler>(element, soapVersion, accessors);
    rpcResult->ProcessAttributes(attributes, scope);
    return rpcResult;
  }
  if (!rpcResult) {
    const AccessorAttributes found = ReadAccessorAttributes(attributes, soapVersion, accessors.namespaces);
    if (found.root != u"0") {
      rpcResult = &AccessorHandler::Make<RpcResultHandler>(element, soapVersion, accessors);
      rpcResult->SetEncodingStyle(encodingStyle);
      rpcResult->ProcessAttributes(attributes, scope);
      return rpcResult;
    }
  }
  // Independent elements are reached through their ids only; a repeated id
  // keeps the first element.
  AccessorHandler& record = AccessorHandler::Make(element, soapVersion, accessors);
  record.SetEncodingStyle(encodingStyle);
  const AccessorAttributes found = record.ReadAttributes(attributes, scope);
  if (found.id) record.FileId(*found.id);
  return &record;
}

}  // namespace qxsoap
