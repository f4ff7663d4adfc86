// Dispatch of parse events to the handler stack.
#include "xml/parse_dispatcher.h"

namespace qxsoap {

void ParseDispatcher::StartDocument() {
  stack_.clear();
  stack_.push_back(rootHandler_ ? rootHandler_ : &skip_);
}

void ParseDispatcher::StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                                   std::u16string_view qualifiedName, XmlAttributes attributes,
                                   XmlElement& element) {
  ElementHandler* handler = stack_.back()->StartElement(namespaceUri, localName, qualifiedName,
                                                        attributes, element.Scope(), element);
  stack_.push_back(handler ? handler : &skip_);
}

void ParseDispatcher::EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                                 std::u16string_view qualifiedName, XmlElement& element) {
  if (stack_.back()->EndElement(namespaceUri, localName, qualifiedName, element)) stack_.pop_back();
}

void ParseDispatcher::Characters(std::u16string_view text) { stack_.back()->Characters(text); }

}  // namespace qxsoap
