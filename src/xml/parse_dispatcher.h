// The content handler the SOAP parsers hand to the reader: it keeps a stack
// of element handlers (element_handler.h) and gives every element to the
// handler responsible for it. Each element pushes exactly one handler (the
// one its parent's handler chose, or a skip handler), and its end reaches
// that handler.
//
// The reader calls a dispatcher directly rather than through the content
// handler interface (the element events are defined here, to be inlined
// there), and leaves out the prefix mappings, which a dispatcher ignores.
//
// Subtrees no handler claims are walked by one skip handler the dispatcher
// owns, pushed once per skipped element: nothing is allocated for them, so
// nothing is left behind when a parse fails halfway, whatever the stack
// holds then.
#ifndef QXSOAP_XML_PARSE_DISPATCHER_H_
#define QXSOAP_XML_PARSE_DISPATCHER_H_

#include <vector>

#include "xml/element_handler.h"
#include "xml/xml_content_handler.h"

namespace qxsoap {

class ParseDispatcher final : public XmlContentHandler {
 public:
  // The handler that receives the root element (not owned; null: the whole
  // document is skipped). Set before each parse.
  void SetRootHandler(ElementHandler* root) { rootHandler_ = root; }

  // Pushes the root handler on a fresh stack.
  void StartDocument() override;
  void EndDocument() override {}
  // Asks the top handler for the element's handler and pushes it.
  void StartElement(std::u16string_view namespaceUri, std::u16string_view localName,
                    std::u16string_view qualifiedName, XmlAttributes attributes,
                    XmlElement& element) override {
    ElementHandler* handler = stack_.back()->StartElement(namespaceUri, localName, qualifiedName,
                                                          attributes, element.Scope(), element);
    stack_.push_back(handler ? handler : &skip_);
  }
  // Tells the top handler; pops it when it is finished.
  void EndElement(std::u16string_view namespaceUri, std::u16string_view localName,
                  std::u16string_view qualifiedName, XmlElement& element) override {
    if (stack_.back()->EndElement(namespaceUri, localName, qualifiedName, element)) {
      stack_.pop_back();
    }
  }
  void Characters(std::u16string_view text) override { stack_.back()->Characters(text); }
  // Handlers read namespaces from the scope handed to StartElement, and
  // learn of a failed parse from the exception that ends it.
  void ParseError(int) override {}
  void ProcessingInstruction(std::u16string_view, std::u16string_view) override {}
  void StartPrefixMapping(std::u16string_view, std::u16string_view) override {}
  void EndPrefixMapping(std::u16string_view) override {}

  // The handlers on the stack, the root handler first.
  const std::vector<ElementHandler*>& Stack() const { return stack_; }

 private:
  ElementHandler* rootHandler_ = nullptr;
  SkipHandler skip_;
  std::vector<ElementHandler*> stack_;
};

}  // namespace qxsoap

#endif  // QXSOAP_XML_PARSE_DISPATCHER_H_
