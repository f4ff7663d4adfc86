#include "parse/body_handler.h"

namespace qxsoap {

using namespace std::string_view_literals;

namespace {

bool IsMarkedIndependent(const AccessorAttributes& found) { return found.root == u"0"sv; }

}  // namespace

ElementHandler* BodyHandler::StartElement(std::u16string_view, std::u16string_view,
                                          std::u16string_view, XmlAttributes attributes,
                                          const NamespaceScope& scope, XmlElement& element) {
  if (soapVersion != 11) {
    if (wrapper) return nullptr;
    wrapper = &AccessorHandler::Make(element, soapVersion, accessors);
    wrapper->ReadAttributes(attributes, scope);
    return wrapper;
  }
  AccessorHandler& record = AccessorHandler::Make(element, soapVersion, accessors);
  record.SetEncodingStyle(encodingStyle);
  const AccessorAttributes found = record.ReadAttributes(attributes, scope);
  if (!wrapper && !IsMarkedIndependent(found)) {
    wrapper = &record;  // the wrapper's id, if any, names nothing
  } else {
    // Independent elements are reached through their ids only; a repeated
    // id keeps the first element.
    if (found.id) record.FileId(*found.id);
  }
  return &record;
}

}  // namespace qxsoap
