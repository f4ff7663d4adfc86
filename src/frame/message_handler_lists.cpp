// The handler's header block, parameter and body operations.
#include <new>

#include "frame/message_handler.h"
#include "model/mu_header_blocks.h"

namespace qxsoap {

HRESULT MessageHandler::AddHeaderElem(std::u16string_view namespaceURI, std::u16string_view name,
                                      const VARIANT* content, bool mustUnderstand,
                                      std::u16string_view actorURI) {
  return headers_.AddTyped(namespaceURI, name, content, mustUnderstand, actorURI, false, false);
}

HRESULT MessageHandler::AddHeaderElem12(std::u16string_view namespaceURI, std::u16string_view name,
                                        const VARIANT* content, bool mustUnderstand,
                                        std::u16string_view roleURI, bool relay, bool received) {
  return headers_.AddTyped(namespaceURI, name, content, mustUnderstand, roleURI, relay, received);
}

HRESULT MessageHandler::GetHeaderElem(std::u16string_view namespaceURI, std::u16string_view name,
                                      VARIANT* content, bool* found) {
  return headers_.TakeTyped(namespaceURI, name, Targeting(), content, found);
}

bool MessageHandler::AddHeaderElemLiteral(std::u16string_view namespaceURI,
                                          std::u16string_view name, std::u16string_view literalXML,
                                          bool mustUnderstand, std::u16string_view actorURI,
                                          std::u16string_view encodingStyle) {
  return headers_.AddLiteral(namespaceURI, name, literalXML, mustUnderstand, actorURI, false,
                             encodingStyle, false);
}

bool MessageHandler::AddHeaderElemLiteral12(std::u16string_view namespaceURI,
                                            std::u16string_view name,
                                            std::u16string_view literalXML, bool mustUnderstand,
                                            std::u16string_view roleURI, bool relay,
                                            std::u16string_view encodingStyle, bool received) {
  return headers_.AddLiteral(namespaceURI, name, literalXML, mustUnderstand, roleURI, relay,
                             encodingStyle, received);
}

bool MessageHandler::AddReceivedHeaderElemLiteral(std::u16string_view namespaceURI,
                                                  std::u16string_view name, ElementXml element,
                                                  bool mustUnderstand, std::u16string_view roleURI,
                                                  bool relay, std::u16string_view encodingStyle) {
  return headers_.AddLiteral(namespaceURI, name, std::move(element), mustUnderstand, roleURI,
                             relay, encodingStyle, true);
}

bool MessageHandler::GetHeaderElemLiteral(std::u16string_view namespaceURI,
                                          std::u16string_view name, std::u16string* literalXML) {
  return headers_.TakeLiteral(namespaceURI, name, Targeting(), literalXML);
}

HRESULT MessageHandler::GetMUHeaderBlocks(VARIANT* blocks) const {
  return HandOutMustUnderstandBlocks(headers_, Targeting(), blocks);
}

HRESULT MessageHandler::AddMethodParam(std::u16string_view namespaceURI, std::u16string_view name,
                                       const VARIANT* content, bool isInParam, bool isOutParam) {
  return methodParams_.AppendNew([&](MethodParam& param) {
    param.namespaceURI = namespaceURI;
    param.name = name;
    param.isInParam = isInParam;
    param.isOutParam = isOutParam;
    return CopyContentIn(param, content);
  });
}

HRESULT MessageHandler::AddBoundMethodParam(std::u16string_view name, qxcom::Variant value,
                                            bool isInParam, bool isOutParam) {
  return methodParams_.AppendNew([&](MethodParam& param) {
    param.name = name;
    param.isInParam = isInParam;
    param.isOutParam = isOutParam;
    param.content = std::move(value);
    return S_OK;
  });
}

void MessageHandler::ClearMethodParams() {
  methodParams_.Clear();
  bodyElemLiteral_.reset();
}

bool MessageHandler::SetBodyElemLiteral(std::u16string_view literalXML,
                                        std::u16string_view encodingStyle) {
  try {
    bodyElemLiteral_ = std::make_unique<BodyElemLiteral>(ElementXml(literalXML),
                                                         std::u16string(encodingStyle));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool MessageHandler::SetReceivedBody(std::shared_ptr<const XmlElement> tree, const XmlElement& body,
                                     std::u16string_view encodingStyle) {
  try {
    bodyElemLiteral_ =
        std::make_unique<BodyElemLiteral>(ElementXml(std::move(tree), body),
                                          std::u16string(encodingStyle));
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool MessageHandler::GetBodyElemLiteral(std::u16string* literalXML) const {
  if (!bodyElemLiteral_) return false;
  *literalXML = bodyElemLiteral_->LiteralXML();
  return true;
}

}  // namespace qxsoap
