// The handler's fault operations: fault state, reason texts, fault details
// and fault header blocks.
#include "frame/message_handler.h"

namespace qxsoap {

bool MessageHandler::SetFault11(std::u16string_view code, std::u16string_view codeNS,
                                std::u16string_view faultString, std::u16string_view node,
                                bool needDetail) {
  fault_.SetFault11(code, codeNS, faultString, node, needDetail);
  return true;
}

bool MessageHandler::SetFault12(std::u16string_view code, std::u16string_view codeNS,
                                std::u16string_view subcode, std::u16string_view subcodeNS,
                                const ReasonTexts& reasons, std::u16string_view node,
                                bool needDetail) {
  fault_.SetFault12(code, codeNS, subcode, subcodeNS, reasons, node, needDetail);
  return true;
}

bool MessageHandler::GetSOAP12ReasonText(std::u16string_view langId, std::u16string* text) const {
  std::optional<std::u16string_view> found = fault_.FindReasonText(langId);
  if (!found) return false;
  *text = *found;
  return true;
}

HRESULT MessageHandler::AddFaultDetailElem(std::u16string_view namespaceURI,
                                           std::u16string_view name, const VARIANT* content) {
  return fault_.faultDetailElems.AppendNew([&](ElemRecord& entry) {
    entry.namespaceURI = namespaceURI;
    entry.name = name;
    return CopyContentIn(entry, content);
  });
}

HRESULT MessageHandler::GetFaultDetailElem(std::u16string_view namespaceURI,
                                           std::u16string_view name, VARIANT* content,
                                           bool* found) const {
  return FindFaultDetail(fault_.faultDetailElems, namespaceURI, name, content, found);
}

HRESULT MessageHandler::AddFaultHeaderElem(std::u16string_view namespaceURI,
                                           std::u16string_view name, const VARIANT* content,
                                           bool mustUnderstand, std::u16string_view actorURI) {
  return fault_.faultHeaders.AddTyped(namespaceURI, name, content, mustUnderstand, actorURI, false,
                                      false);
}

HRESULT MessageHandler::AddFaultHeaderElem12(std::u16string_view namespaceURI,
                                             std::u16string_view name, const VARIANT* content,
                                             bool mustUnderstand, std::u16string_view roleURI,
                                             bool relay) {
  return fault_.faultHeaders.AddTyped(namespaceURI, name, content, mustUnderstand, roleURI, relay,
                                      false);
}

bool MessageHandler::AddFaultHeaderElemLiteral(std::u16string_view namespaceURI,
                                               std::u16string_view name,
                                               std::u16string_view literalXML, bool mustUnderstand,
                                               std::u16string_view actorURI,
                                               std::u16string_view encodingStyle) {
  return fault_.faultHeaders.AddLiteral(namespaceURI, name, literalXML, mustUnderstand, actorURI,
                                        false, encodingStyle, false);
}

bool MessageHandler::AddFaultHeaderElemLiteral12(std::u16string_view namespaceURI,
                                                 std::u16string_view name,
                                                 std::u16string_view literalXML,
                                                 bool mustUnderstand, std::u16string_view roleURI,
                                                 bool relay, std::u16string_view encodingStyle) {
  return fault_.faultHeaders.AddLiteral(namespaceURI, name, literalXML, mustUnderstand, roleURI,
                                        relay, encodingStyle, false);
}

}  // namespace qxsoap
