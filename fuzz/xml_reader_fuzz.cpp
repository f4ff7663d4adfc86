// Fuzz target for the XML reader, the parse dispatcher and the writer. Each
// input is parsed as message bytes with and without a content handler and
// through the dispatcher, and as raw 16-bit text; a tree that parses is
// written out, and what the writer produced must read back and write out
// the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "xml/parse_dispatcher.h"
#include "xml/xml_document.h"

namespace {

using qxsoap::XmlAttributes;
using qxsoap::XmlDocument;
using qxsoap::XmlElement;

// Touches every argument, so the sanitizers check what the reader hands out.
class TouchingHandler : public qxsoap::XmlContentHandler {
 public:
  void StartDocument() override { ++events_; }
  void EndDocument() override { ++events_; }
  void StartElement(std::u16string_view uri, std::u16string_view local,
                    std::u16string_view qualified, XmlAttributes attributes,
                    XmlElement& element) override {
    events_ += uri.size() + local.size() + qualified.size() + attributes.size();
    events_ += element.Scope().ToMap().size();
  }
  void EndElement(std::u16string_view uri, std::u16string_view local, std::u16string_view qualified,
                  XmlElement& element) override {
    events_ += uri.size() + local.size() + qualified.size() + element.Text().size();
  }
  void Characters(std::u16string_view text) override { events_ += text.size(); }
  void ParseError(int line) override { events_ += size_t(line); }
  void ProcessingInstruction(std::u16string_view target, std::u16string_view data) override {
    events_ += target.size() + data.size();
  }
  void StartPrefixMapping(std::u16string_view prefix, std::u16string_view uri) override {
    events_ += prefix.size() + uri.size();
  }
  void EndPrefixMapping(std::u16string_view prefix) override { events_ += prefix.size(); }

 private:
  size_t events_ = 0;
};

std::string Written(const XmlDocument& document) {
  uint8_t* buffer = nullptr;
  const size_t length = document.Write(&buffer);
  std::string bytes(reinterpret_cast<const char*>(buffer), length);
  std::free(buffer);
  return bytes;
}

bool Parses(XmlDocument& document, const uint8_t* data, size_t size,
            qxsoap::XmlContentHandler* handler) {
  try {
    document.Parse(data, size, handler);
    return true;
  } catch (int line) {
    if (line < 1 || document.Root()) std::abort();  // a failed parse keeps no tree
    return false;
  }
}

// Claims every other element and skips the rest, reading each claimed
// element's encodingStyle, so the dispatcher walks both kinds of subtree.
class AlternatingHandler : public qxsoap::SoapElementHandler {
 public:
  qxsoap::ElementHandler* StartElement(std::u16string_view, std::u16string_view,
                                       std::u16string_view, qxsoap::XmlAttributes attributes,
                                       const qxsoap::NamespaceScope& scope,
                                       XmlElement&) override {
    ProcessAttributes(attributes, scope);
    return ++seen_ % 2 ? this : nullptr;
  }

 private:
  size_t seen_ = 0;
};

// Rebinding the `xml` prefix is not written out (the writer never declares
// it), so such a tree need not read back the same.
bool RebindsXmlPrefix(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  return text.find("xmlns:xml") != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TouchingHandler handler;
  XmlDocument document;
  const bool parsed = Parses(document, data, size, &handler);
  XmlDocument silent;
  if (Parses(silent, data, size, nullptr) != parsed) std::abort();
  AlternatingHandler alternating;
  qxsoap::ParseDispatcher dispatcher;
  dispatcher.SetRootHandler(&alternating);
  XmlDocument dispatched;
  if (Parses(dispatched, data, size, &dispatcher) != parsed) std::abort();
  if (parsed && dispatcher.Stack().size() != 1) std::abort();  // every push popped

  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * 2);
  std::unique_ptr<XmlElement> fragment = qxsoap::ParseFragment(units);

  if (!parsed || RebindsXmlPrefix(data, size)) return 0;
  const std::string first = Written(document);
  XmlDocument reread;
  if (!Parses(reread, reinterpret_cast<const uint8_t*>(first.data()), first.size(), nullptr)) {
    std::abort();  // the writer produced something the reader refuses
  }
  if (Written(reread) != first) std::abort();  // a round trip changed the tree
  return 0;
}
