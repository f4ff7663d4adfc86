// The parse dispatcher and the handler defaults: which handler sees which
// element, skipped subtrees, and what a parse that fails leaves behind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "xml/namespaces.h"
#include "xml/parse_dispatcher.h"
#include "xml_test_support.h"

namespace qxsoap {
namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// Logs what it sees as "<tag>:event;" and takes the children that
// `takes` names with a child handler of its own, skipping the others.
class LoggingHandler : public SoapElementHandler {
 public:
  LoggingHandler(std::string tag, std::string& log, std::u16string_view takes = {})
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

TEST(ParseDispatch, HandlersSeeTheElementsTheyClaim) {
  // The root handler receives the root as its child: it claims it when
  // `takes` names it, so a row's log starts with the root's start.
  const struct {
    const char* why;
    std::string document;
    std::u16string_view takes;
    std::string log;
  } rows[] = {
      {"an unclaimed root is skipped whole: only its start is seen", "<r><a>t</a></r>", u"",
       "doc:start r;"},
      {"claimed elements nest; an unclaimed child is skipped whole and its sibling reaches the "
       "handler again; text comes once, after the children, just before the end",
       "<k>x<k><o><k/></o>y</k><p/>z</k>", u"k",
       "doc:start k;k:start k;k:start o;k:'y';k:end k [];k:start p;k:'xz';k:end k [];"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    std::string log;
    LoggingHandler root("doc", log, row.takes);
    ParseDispatcher dispatcher;
    dispatcher.SetRootHandler(&root);
    XmlDocument document;
    ASSERT_EQ(testing::ParseErrorLine(document, row.document, &dispatcher), std::nullopt);
    EXPECT_EQ(log, row.log);
    ASSERT_EQ(dispatcher.Stack().size(), 1u) << "the root handler stays, never popped";
    EXPECT_EQ(dispatcher.Stack().front(), &root);
  }
}

TEST(ParseDispatch, WithoutARootHandlerEverythingIsSkipped) {
  ParseDispatcher dispatcher;
  XmlDocument document;
  ASSERT_EQ(testing::ParseErrorLine(document, "<r><a>t</a></r>", &dispatcher), std::nullopt);
  EXPECT_EQ(dispatcher.Stack().size(), 1u);
  EXPECT_NE(document.Root(), nullptr) << "the tree is built all the same";
}

// The encodingStyle in the envelope namespace of the handler's version
// replaces the inherited one; one in the other version's namespace does not.
TEST(ParseDispatch, EncodingStyleIsReadInTheHandlersVersion) {
  for (const int version : {11, 12}) {
    SCOPED_TRACE(version);
    std::string log;
    LoggingHandler root("doc", log, u"k");
    root.soapVersion = version;
    root.SetEncodingStyle(u"inherited");
    ParseDispatcher dispatcher;
    dispatcher.SetRootHandler(&root);
    XmlDocument document;
    const std::string bytes = "<k xmlns:e11='" + Narrow(SOAP11_ENV_NS) + "' xmlns:e12='" +
                              Narrow(SOAP12_ENV_NS) +
                              "'><k e11:encodingStyle='one'/><k e12:encodingStyle='two'/><k/></k>";
    ASSERT_EQ(testing::ParseErrorLine(document, bytes, &dispatcher), std::nullopt);
    const std::string own = version == 11 ? "one" : "two", other = version == 11 ? "two" : "one";
    EXPECT_NE(log.find("k:end k [" + own + "]"), std::string::npos) << log;
    EXPECT_EQ(log.find("k:end k [" + other + "]"), std::string::npos) << log;
    EXPECT_NE(log.find("k:end k [inherited]"), std::string::npos) << log;
  }
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
  EXPECT_EQ(testing::ParseErrorLine(document, "<k><k><x><y>\n</k>", &dispatcher), 2);
  EXPECT_EQ(dispatcher.Stack().size(), 5u) << "root, k, k, and a skip for x and for y";
  ASSERT_EQ(testing::ParseErrorLine(document, "<k/>", &dispatcher), std::nullopt);
  EXPECT_EQ(dispatcher.Stack().size(), 1u);
}

}  // namespace
}  // namespace qxsoap
