#include "decode/accessor_handler.h"

#include <string>

#include "decode/array_shape.h"
#include "model/fault_record.h"
#include "xml/namespaces.h"

namespace qxsoap {

using namespace std::string_view_literals;

// One per element of a message: the size is part of the memory budget.
static_assert(sizeof(AccessorHandler) == 64);

namespace {

bool IsKnownNodeType(std::u16string_view nodeType) {
  return nodeType == u"simple"sv || nodeType == u"struct"sv || nodeType == u"array"sv;
}

}  // namespace

AccessorHandler::AccessorHandler(XmlElement& element, int32_t soapVersion,
                                 AccessorContext& context)
    : context_(&context) {
  this->element = &element;
  this->soapVersion = soapVersion;
}

ElementHandler* AccessorHandler::StartElement(std::u16string_view, std::u16string_view,
                                              std::u16string_view, XmlAttributes attributes,
                                              const NamespaceScope& scope, XmlElement& element) {
  AccessorHandler& child = Make(element, soapVersion, *context_);
  Append(child);
  child.SetEncodingStyle(encodingStyle);
  const AccessorAttributes found = child.ReadAttributes(attributes, scope);
  if (found.id && !child.FileId(*found.id)) {
    RaiseFaultWithSubcode(soapVersion, FaultKind::kSender, u"DuplicateID", SOAP12_ENC_NS,
                          u"Id value found on accessor element is a duplicate.",
                          FaultsNeedDetail());
  }
  return &child;
}

AccessorAttributes AccessorHandler::ReadAttributes(XmlAttributes attributes,
                                                  const NamespaceScope& scope) {
  const AccessorAttributes found = ReadAccessorAttributes(attributes, soapVersion, context_->namespaces);
  const bool detail = FaultsNeedDetail();
  if (found.encodingStyle) encodingStyle = *found.encodingStyle;
  if (soapVersion != 11) {
    if (found.id && found.href) {
      // The message names 'type' where it means 'ref'; hosts match on it.
      RaiseFault(FaultKind::kSender, u"Encountered  attributes 'type' and 'id' on same element.",
                 detail);
    }
    if (found.nodeType && !IsKnownNodeType(*found.nodeType)) {
      RaiseFault(FaultKind::kSender,
                 u"Encountered invalid value for attribute 'nodeType' on accessor element.", detail);
    }
  }
  // Most accessors are no arrays: skip making a shape for them.
  if (found.arrayType || found.offset || found.itemType || found.arraySize) ReadShape(found, scope);
  if (found.type) ResolveAttributeQName(*found.type, scope, u"type"sv, detail);
  return found;
}

ArrayShape AccessorHandler::ReadShape(const AccessorAttributes& found, const NamespaceScope& scope,
                                      QName* itemType) const {
  const bool detail = FaultsNeedDetail();
  ArrayShape shape;
  QName item;
  if (soapVersion == 11) {
    if (found.arrayType) {
      item = ResolveAttributeQName(*found.arrayType, scope, u"arrayType"sv, detail);
      item.localName = ReadArrayType(item.localName, shape, detail);
    }
    if (found.offset) ReadOffset(*found.offset, found.href.has_value(), shape, detail);
  } else {
    if (found.itemType) item = ResolveAttributeQName(*found.itemType, scope, u"itemType"sv, detail);
    if (found.arraySize) ReadArraySize(*found.arraySize, shape, detail);
  }
  if (itemType) *itemType = item;
  return shape;
}

ArrayShape AccessorHandler::Shape(QName* itemType) const {
  return ReadShape(Attributes(), element->Scope(), itemType);
}

QName AccessorHandler::Type() const {
  const AccessorAttributes::Value type = Attributes().type;
  // The attributes were checked when the element was read: the name resolves.
  return type ? ResolveQName(*type, element->Scope()).name : QName{};
}

void AccessorHandler::Append(AccessorHandler& child) {
  if (lastChild_) {
    child.nextSibling_ = lastChild_->nextSibling_;
    lastChild_->nextSibling_ = &child;
  } else {
    child.nextSibling_ = &child;
  }
  lastChild_ = &child;
}

}  // namespace qxsoap
