// The fault state: what the setters of each version write and keep, Clear,
// and the reason texts with their cursor.
#include <gtest/gtest.h>

#include <string>

#include "model/fault_state.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

TEST(FaultState, ReasonTextsAreKeyedByExactLanguage) {
  FaultState state;
  state.AddReasonText(u"one", u"en");
  state.AddReasonText(u"two", u"en");
  EXPECT_EQ(state.FindReasonText(u"en"), u"two") << "the same language twice keeps the second";
  EXPECT_FALSE(state.FindReasonText(u"EN").has_value()) << "language ids compare exactly";
  // Every GetNext reads its position as unsigned: -2 is past the end, not
  // the step before the first text.
  LONG position = -2;
  EXPECT_FALSE(state.NextReasonText(position).has_value());
  EXPECT_EQ(position, -2);

  // A reply may carry a text in each of very many languages; the walk over
  // them must not step from the first text to each.
  for (int i = 0; i < 100000; ++i) {
    const std::string digits = std::to_string(100000 + i);
    state.AddReasonText(u"t", std::u16string(digits.begin(), digits.end()));
  }
  LONG walked = 0;
  for (auto text = state.FirstReasonText(position); text; text = state.NextReasonText(position)) {
    ++walked;
  }
  EXPECT_EQ(walked, 100001);
  EXPECT_EQ(position, 100000);
  state.AddReasonText(u"first", u"0");
  EXPECT_EQ(state.NextReasonText(--position)->text, u"t") << "a text added shifts the ones after it";
}

// Each setter writes only the fields of its own version: a SOAP 1.1 fault
// empties the subcode and keeps reason texts; a SOAP 1.2 fault replaces the
// reason texts and keeps the fault string; neither touches faultRaisedHere.
TEST(FaultState, SettersOfBothVersionsInterplay) {
  FaultState state;
  state.AddReasonText(u"earlier", u"fr");
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"en", u"r"}}, u"node", true);
  EXPECT_TRUE(state.isFault);
  state.faultRaisedHere = false;
  state.SetFault11(u"Client", SOAP11_ENV_NS, u"text", u"", false);
  EXPECT_TRUE(state.faultSubcode.empty() && state.faultSubcodeNS.empty() && state.faultNode.empty());
  ASSERT_EQ(state.reasonTexts.size(), 1u);
  EXPECT_EQ(state.reasonTexts.at(u"en"), u"r");
  EXPECT_FALSE(state.needDetail);
  state.SetFault12(u"Receiver", SOAP12_ENV_NS, u"", u"", {}, u"", true);
  EXPECT_EQ(state.faultString, u"text");
  EXPECT_FALSE(state.faultRaisedHere);
  EXPECT_TRUE(state.needDetail);
}

TEST(FaultState, ClearReturnsToTheStartingState) {
  FaultState state;
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"en", u"r"}}, u"node", true);
  state.faultRaisedHere = false;
  state.faultDetailElems.AppendNew([](ElemRecord&) { return S_OK; });
  state.faultHeaders.AddTyped(u"urn:h", u"h", nullptr, false, u"", false, false);
  state.faultHeaders.AddLiteral(u"urn:h", u"l", u"<l/>", false, u"", false, u"", false);
  state.Clear();
  const FaultState fresh;
  EXPECT_TRUE(state.isFault == fresh.isFault && state.faultRaisedHere == fresh.faultRaisedHere &&
              state.needDetail == fresh.needDetail);
  EXPECT_TRUE(state.faultCode.empty() && state.faultSubcode.empty() && state.faultNode.empty());
  EXPECT_TRUE(state.reasonTexts.empty());
  EXPECT_EQ(state.faultDetailElems.Count() + state.faultHeaders.typed.Count() +
                state.faultHeaders.literal.Count(),
            0);
}

}  // namespace
}  // namespace qxsoap
