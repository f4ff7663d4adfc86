// The events the reader reports, and the parse dispatcher that hands them
// to element handlers: order, arguments, skipped subtrees, failed parses.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "xml/namespaces.h"
#include "xml/parse_dispatcher.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

using testing::ParseErrorLine;

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
    if (attributes.data() != element.Attributes().data()) events += " (not the element's)";
    events += ";";
  }
  void EndElement(std::u16string_view, std::u16string_view, std::u16string_view qualified,
                  XmlElement& element) override {
    events += "end " + Narrow(qualified) + " " + std::to_string(element.Children().size()) + ";";
  }
  void Characters(std::u16string_view text) override { events += "'" + Narrow(text) + "';"; }
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
// text comes after its children, just before its end. A parse error is
// reported just before its line is thrown, and leaves no root; a handler's
// own exception ends the parse where it was thrown.
TEST(Events, OrderForADocumentAndWhereAParseEnds) {
  RecordingHandler handler;
  XmlDocument document;
  const std::string bytes = "<?xml version=\"1.0\"?><p:a xmlns:p=\"u\" x=\"1\">t<b/>"
                            "<p:c xmlns=\"d\" xmlns:q=\"v\">w</p:c><?z data ?></p:a>";
  ASSERT_EQ(ParseErrorLine(document, bytes, &handler), std::nullopt);
  EXPECT_EQ(handler.events,
            "start-document;pi xml 'version=\"1.0\"';map =;map p=u;map xml=" + Narrow(XML_NS) +
                ";start p:a {u}a @uax;start b {}b;end b 0;"
                "map =d;map q=v;start p:c {u}c;'w';end p:c 0;unmap ;unmap q;"
                "pi z 'data ';'t';end p:a 2;unmap ;unmap p;unmap xml;end-document;");
  EXPECT_EQ(ParseErrorLine(document, "<a>\n<b>\n</a>", &handler), 3);
  EXPECT_TRUE(handler.events.ends_with(";error 3;")) << handler.events;
  EXPECT_EQ(document.Root(), nullptr);
  struct Refusing : RecordingHandler {
    void Characters(std::u16string_view) override { throw 3.5; }
  } refusing;
  EXPECT_THROW(ParseErrorLine(document, "<a><b>x</b><c/></a>", &refusing), double);
  EXPECT_TRUE(refusing.events.ends_with(";start b {}b;")) << "nothing after the throw";
}

// Logs what it sees as "<tag>:event;" and takes the children that `takes`
// names with a child handler of its own, skipping the others; the log of an
// end shows the encodingStyle in force.
class LoggingHandler : public SoapElementHandler {
 public:
  LoggingHandler(std::string tag, std::string& log, std::u16string_view takes)
      : tag_(std::move(tag)), log_(log), takes_(takes) {}

  ElementHandler* StartElement(std::u16string_view, std::u16string_view local, std::u16string_view,
                               XmlAttributes attributes, const NamespaceScope& scope,
                               XmlElement&) override {
    log_ += tag_ + ":start " + Narrow(local) + ";";
    if (takes_.empty() || local != takes_) return nullptr;
    child_ = std::make_unique<LoggingHandler>(Narrow(local), log_, takes_);
    child_->soapVersion = soapVersion;
    child_->SetEncodingStyle(encodingStyle);
    child_->ProcessAttributes(attributes, scope);
    return child_.get();
  }
  bool EndElement(std::u16string_view namespaceUri, std::u16string_view local,
                  std::u16string_view qualified, XmlElement& ended) override {
    log_ += tag_ + ":end " + Narrow(local) + " [" + Narrow(encodingStyle) + "];";
    return SoapElementHandler::EndElement(namespaceUri, local, qualified, ended);
  }
  void Characters(std::u16string_view text) override { log_ += tag_ + ":'" + Narrow(text) + "';"; }

 private:
  std::string tag_;
  std::string& log_;
  std::u16string_view takes_;
  std::unique_ptr<LoggingHandler> child_;
};

// The root handler receives the root as its child: it claims it when
// `takes` names it, so a row's log starts with the root's start.
TEST(ParseDispatch, HandlersSeeTheElementsTheyClaim) {
  const std::string styles = "<k xmlns:a='" + Narrow(SOAP11_ENV_NS) + "' xmlns:b='" +
                             Narrow(SOAP12_ENV_NS) +
                             "'><k a:encodingStyle='one'/><k b:encodingStyle='two'/></k>";
  const struct {
    const char* why;
    int version;
    std::string document;
    std::u16string_view takes;
    std::string log;
  } rows[] = {
      {"an unclaimed root is skipped whole: only its start is seen", 11, "<r><a>t</a></r>", u"",
       "doc:start r;"},
      {"claimed elements nest; an unclaimed child is skipped whole and its sibling reaches the "
       "handler again; text comes once, after the children, just before the end",
       11, "<k>x<k><o><k/></o>y</k><p/>z</k>", u"k",
       "doc:start k;k:start k;k:start o;k:'y';k:end k [in];k:start p;k:'xz';k:end k [in];"},
      {"an encodingStyle in the envelope namespace of the handler's version replaces the "
       "inherited one; one of the other version does not",
       11, styles, u"k", "doc:start k;k:start k;k:end k [one];k:start k;k:end k [in];k:end k [in];"},
      {"the same in version 12", 12, styles, u"k",
       "doc:start k;k:start k;k:end k [in];k:start k;k:end k [two];k:end k [in];"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    std::string log;
    LoggingHandler root("doc", log, row.takes);
    root.soapVersion = row.version;
    root.SetEncodingStyle(u"in");
    ParseDispatcher dispatcher;
    dispatcher.SetRootHandler(&root);
    XmlDocument document;
    ASSERT_EQ(ParseErrorLine(document, row.document, &dispatcher), std::nullopt);
    EXPECT_EQ(log, row.log);
    ASSERT_EQ(dispatcher.Stack().size(), 1u) << "the root handler stays, never popped";
    EXPECT_EQ(dispatcher.Stack().front(), &root);
  }
  ParseDispatcher rootless;
  XmlDocument document;
  ASSERT_EQ(ParseErrorLine(document, "<r><a>t</a></r>", &rootless), std::nullopt);
  EXPECT_EQ(rootless.Stack().size(), 1u) << "without a root handler everything is skipped";
  EXPECT_NE(document.Root(), nullptr) << "the tree is built all the same";
}

// A parse that fails inside skipped and claimed subtrees leaves handlers on
// the stack; none of them was allocated by the dispatcher, so nothing leaks
// (the sanitizer build checks), and the next parse starts afresh.
TEST(ParseDispatch, AFailedParseLeavesNothingBehind) {
  std::string log;
  LoggingHandler root("doc", log, u"k");
  ParseDispatcher dispatcher;
  dispatcher.SetRootHandler(&root);
  XmlDocument document;
  EXPECT_EQ(ParseErrorLine(document, "<k><k><x><y>\n</k>", &dispatcher), 2);
  EXPECT_EQ(dispatcher.Stack().size(), 5u) << "root, k, k, and a skip for x and for y";
  ASSERT_EQ(ParseErrorLine(document, "<k/>", &dispatcher), std::nullopt);
  EXPECT_EQ(dispatcher.Stack().size(), 1u);
}

}  // namespace
}  // namespace qxsoap
