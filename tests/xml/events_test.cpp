// The events the reader reports: their order, their arguments, and the
// report of a parse error before the line number is thrown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/namespaces.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// Records every event as one line of text.
class RecordingHandler : public XmlContentHandler {
 public:
  std::vector<std::string> events;

  void StartDocument() override { events.push_back("start-document"); }
  void EndDocument() override { events.push_back("end-document"); }
  void StartElement(std::u16string_view uri, std::u16string_view local,
                    std::u16string_view qualified, const XmlAttributeMap& attributes,
                    XmlElement& element) override {
    std::string event = "start " + Narrow(qualified) + " {" + Narrow(uri) + "}" + Narrow(local);
    for (const auto& [key, attribute] : attributes) event += " @" + Narrow(key);
    if (&attributes != &element.Attributes()) event += " (attributes are not the element's)";
    events.push_back(event);
  }
  void EndElement(std::u16string_view, std::u16string_view, std::u16string_view qualified,
                  XmlElement& element) override {
    events.push_back("end " + Narrow(qualified) +
                     " children=" + std::to_string(element.Children().size()));
  }
  void Characters(std::u16string_view text) override {
    events.push_back("characters '" + Narrow(text) + "'");
  }
  void ParseError(int line) override { events.push_back("error " + std::to_string(line)); }
  void ProcessingInstruction(std::u16string_view target, std::u16string_view data) override {
    events.push_back("pi " + Narrow(target) + " '" + Narrow(data) + "'");
  }
  void StartPrefixMapping(std::u16string_view prefix, std::u16string_view uri) override {
    events.push_back("map " + Narrow(prefix) + "=" + Narrow(uri));
  }
  void EndPrefixMapping(std::u16string_view prefix) override {
    events.push_back("unmap " + Narrow(prefix));
  }
};

const std::string kXmlBinding = "map xml=" + Narrow(XML_NS);

TEST(Events, OrderForADocument) {
  RecordingHandler handler;
  XmlDocument document;
  ASSERT_EQ(testing::ParseErrorLine(
                document,
                "<?xml version=\"1.0\"?><p:a xmlns:p=\"u\" x=\"1\">t<b/><p:c xmlns=\"d\" "
                "xmlns:q=\"v\">w</p:c><?z data ?></p:a>",
                &handler),
            std::nullopt);
  const std::vector<std::string> expected = {
      "start-document",
      "pi xml 'version=\"1.0\"'",
      "map =",  // the root reports its (empty) default namespace
      "map p=u",
      kXmlBinding,  // and every binding of its scope, xml included
      "start p:a {u}a @uax",
      "start b {}b",
      "end b children=0",  // never Characters for an empty element
      "map =d",
      "map q=v",
      "start p:c {u}c",
      "characters 'w'",
      "end p:c children=0",
      "unmap ",
      "unmap q",
      "pi z 'data '",
      "characters 't'",
      "end p:a children=2",
      "unmap ",
      "unmap p",
      "unmap xml",
      "end-document",
  };
  EXPECT_EQ(handler.events, expected);
}

// A parse error is reported just before its line is thrown, and leaves no
// root; a handler's own exception ends the parse where it was thrown.
TEST(Events, AParseEndsAtAnErrorOrAtAHandlersThrow) {
  RecordingHandler handler;
  XmlDocument document;
  EXPECT_EQ(testing::ParseErrorLine(document, "<a>\n<b>\n</a>", &handler), 3);
  EXPECT_EQ(handler.events.back(), "error 3");
  EXPECT_EQ(document.Root(), nullptr);
  struct Refusing : RecordingHandler {
    void Characters(std::u16string_view) override { throw 3.5; }
  } refusing;
  const std::string bytes = "<a><b>x</b><c/></a>";
  EXPECT_THROW(
      document.Parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &refusing),
      double);
  EXPECT_EQ(refusing.events.back(), "start b {}b") << "nothing after the throw";
}

}  // namespace
}  // namespace qxsoap
