#include "parse/body_handler.h"

namespace qxsoap {
namespace {

bool IsMarkedIndependent(const AccessorHandler& record) {
  const AccessorAttributes::Value root = record.Attributes().root;
  return root && *root == u"0";
}

}  // namespace

ElementHandler* BodyHandler::StartElement(std::u16string_view, std::u16string_view,
                                          std::u16string_view, XmlAttributes attributes,
                                          const NamespaceScope& scope, XmlElement& element) {
  if (soapVersion != 11) {
    if (wrapper) return nullptr;
    wrapper = &AccessorHandler::Make<AccessorHandler>(element, soapVersion, accessors);
    wrapper->ProcessAttributes(attributes, scope);
    return wrapper;
  }
  AccessorHandler& record = AccessorHandler::Make<AccessorHandler>(element, soapVersion, accessors);
  record.SetEncodingStyle(encodingStyle);
  record.ProcessAttributes(attributes, scope);
  if (!wrapper && !IsMarkedIndependent(record)) {
    wrapper = &record;  // the wrapper's id, if any, names nothing
  } else {
    // Independent elements are reached through their ids only; a repeated
    // id keeps the first element.
    record.FileId();
  }
  return &record;
}

}  // namespace qxsoap
