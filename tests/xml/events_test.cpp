// The events the reader reports: their order, their arguments, and the
// report of a parse error before the line number is thrown.
#include <gtest/gtest.h>

#include <string>

#include "xml/namespaces.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// Records every event as text followed by ';'.
class RecordingHandler : public XmlContentHandler {
 public:
  std::string events;

  void StartDocument() override { events += "start-document;"; }
  void EndDocument() override { events += "end-document;"; }
  void StartElement(std::u16string_view uri, std::u16string_view local,
                    std::u16string_view qualified, XmlAttributes attributes,
                    XmlElement& element) override {
    events += "start " + Narrow(qualified) + " {" + Narrow(uri) + "}" + Narrow(local);
    for (const XmlAttribute& attribute : attributes) events += " @" + Narrow(attribute.KeyText());
    if (attributes.data() != element.Attributes().data()) {
      events += " (attributes are not the element's)";
    }
    events += ";";
  }
  void EndElement(std::u16string_view, std::u16string_view, std::u16string_view qualified,
                  XmlElement& element) override {
    events += "end " + Narrow(qualified) + " " + std::to_string(element.Children().size()) + ";";
  }
  void Characters(std::u16string_view text) override {
    events.append("'").append(Narrow(text)).append("';");
  }
  void ParseError(int line) override { events += "error " + std::to_string(line) + ";"; }
  void ProcessingInstruction(std::u16string_view target, std::u16string_view data) override {
    events += "pi " + Narrow(target) + " '" + Narrow(data) + "';";
  }
  void StartPrefixMapping(std::u16string_view prefix, std::u16string_view uri) override {
    events += "map " + Narrow(prefix) + "=" + Narrow(uri) + ";";
  }
  void EndPrefixMapping(std::u16string_view prefix) override {
    events += "unmap " + Narrow(prefix) + ";";
  }
};

// The root reports its (empty) default namespace and every binding of its
// scope, xml included; an empty element gets no Characters; an element's
// text comes after its children, just before its end.
TEST(Events, OrderForADocument) {
  RecordingHandler handler;
  XmlDocument document;
  const std::string bytes = "<?xml version=\"1.0\"?><p:a xmlns:p=\"u\" x=\"1\">t<b/>"
                            "<p:c xmlns=\"d\" xmlns:q=\"v\">w</p:c><?z data ?></p:a>";
  ASSERT_EQ(testing::ParseErrorLine(document, bytes, &handler), std::nullopt);
  EXPECT_EQ(handler.events,
            "start-document;pi xml 'version=\"1.0\"';map =;map p=u;map xml=" + Narrow(XML_NS) +
                ";start p:a {u}a @uax;start b {}b;end b 0;"
                "map =d;map q=v;start p:c {u}c;'w';end p:c 0;unmap ;unmap q;"
                "pi z 'data ';'t';end p:a 2;unmap ;unmap p;unmap xml;end-document;");
}

// A parse error is reported just before its line is thrown, and leaves no
// root; a handler's own exception ends the parse where it was thrown.
TEST(Events, AParseEndsAtAnErrorOrAtAHandlersThrow) {
  RecordingHandler handler;
  XmlDocument document;
  EXPECT_EQ(testing::ParseErrorLine(document, "<a>\n<b>\n</a>", &handler), 3);
  EXPECT_TRUE(handler.events.ends_with(";error 3;")) << handler.events;
  EXPECT_EQ(document.Root(), nullptr);
  struct Refusing : RecordingHandler {
    void Characters(std::u16string_view) override { throw 3.5; }
  } refusing;
  const std::string bytes = "<a><b>x</b><c/></a>";
  EXPECT_THROW(
      document.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &refusing),
      double);
  EXPECT_TRUE(refusing.events.ends_with(";start b {}b;")) << "nothing after the throw";
}

}  // namespace
}  // namespace qxsoap
