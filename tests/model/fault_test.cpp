// Fault code names and the fault state operations and their interplay.
#include <gtest/gtest.h>

#include "model/fault_record.h"
#include "model/fault_state.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

struct CodeRow {
  const char* why;
  FaultKind kind;
  LONG version;
  std::u16string_view name;
  std::u16string_view ns;
};

const CodeRow kCodeRows[] = {
    {"Sender is Client in SOAP 1.1", FaultKind::kSender, 11, u"Client", SOAP11_ENV_NS},
    {"Receiver is Server in SOAP 1.1", FaultKind::kReceiver, 11, u"Server", SOAP11_ENV_NS},
    {"Receiver in SOAP 1.2", FaultKind::kReceiver, 12, u"Receiver", SOAP12_ENV_NS},
    {"any version but 11 is SOAP 1.2", FaultKind::kReceiver, 0, u"Receiver", SOAP12_ENV_NS},
    {"names shared by both versions", FaultKind::kVersionMismatch, 11, u"VersionMismatch", SOAP11_ENV_NS},
    {"a kind outside the table is written as Receiver", static_cast<FaultKind>(99), 11, u"Server",
     SOAP11_ENV_NS},
};

TEST(LookUpFaultCode, Rows) {
  for (const CodeRow& row : kCodeRows) {
    SCOPED_TRACE(row.why);
    const FaultCode code = LookUpFaultCode(row.kind, row.version);
    EXPECT_EQ(code.name, row.name);
    EXPECT_EQ(code.ns, row.ns);
  }
}

TEST(FaultState, Soap12ReplacesTheReasonTextsAddedBefore) {
  FaultState state;
  state.AddReasonText(u"one", u"en");
  state.AddReasonText(u"two", u"en");
  EXPECT_EQ(state.FindReasonText(u"en"), u"two") << "the same language twice keeps the second";
  EXPECT_FALSE(state.FindReasonText(u"EN").has_value()) << "language ids compare exactly";
  EXPECT_FALSE(state.isFault) << "a reason text alone sets no fault";
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"fr", u"salut"}}, u"", false);
  ASSERT_EQ(state.reasonTexts.size(), 1u);
  EXPECT_EQ(state.reasonTexts.at(u"fr"), u"salut");
  EXPECT_TRUE(state.isFault);
}

// Each setter writes only the fields of its own version: a SOAP 1.1 fault
// empties the subcode and keeps reason texts; a SOAP 1.2 fault keeps the
// fault string; neither touches faultRaisedHere.
TEST(FaultState, SettersOfBothVersionsInterplay) {
  FaultState state;
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"en", u"r"}}, u"node", true);
  state.faultRaisedHere = false;
  state.SetFault11(u"Client", SOAP11_ENV_NS, u"text", u"", false);
  EXPECT_TRUE(state.faultSubcode.empty() && state.faultSubcodeNS.empty() && state.faultNode.empty());
  EXPECT_EQ(state.reasonTexts.size(), 1u);
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
  EXPECT_EQ(state.isFault, fresh.isFault);
  EXPECT_EQ(state.faultRaisedHere, fresh.faultRaisedHere);
  EXPECT_EQ(state.needDetail, fresh.needDetail);
  EXPECT_TRUE(state.faultCode.empty() && state.faultSubcode.empty() && state.faultNode.empty());
  EXPECT_TRUE(state.reasonTexts.empty());
  EXPECT_EQ(state.faultDetailElems.Count() + state.faultHeaders.typed.Count() +
                state.faultHeaders.literal.Count(),
            0);
}

TEST(FaultState, ReasonTextsIterateInLanguageOrder) {
  FaultState state;
  state.AddReasonText(u"hallo", u"de");
  state.AddReasonText(u"hello", u"en");
  state.AddReasonText(u"bonjour", u"fr");
  LONG position = -5;
  std::u16string order;
  for (auto text = state.FirstReasonText(position); text; text = state.NextReasonText(position)) {
    order += std::u16string(text->langId) + u";";
  }
  EXPECT_EQ(order, u"de;en;fr;");
  EXPECT_EQ(position, 2) << "the end leaves the position on the last entry";
  position = -1;
  EXPECT_EQ(state.NextReasonText(position)->text, u"hallo");
}

TEST(FaultDetail, FirstMatchIsCopiedAndStays) {
  RecordList<ElemRecord> details;
  for (LONG value : {1, 2}) {
    qxcom::Variant content = test::LongVariant(value);
    details.AppendNew([&](ElemRecord& entry) {
      entry.namespaceURI = u"urn:d";
      entry.name = u"e";
      return CopyContentIn(entry, content.get());
    });
  }
  qxcom::Variant out;
  bool found = false;
  EXPECT_EQ(FindFaultDetail(details, u"urn:d", u"e", out.get(), &found), S_OK);
  EXPECT_TRUE(found);
  EXPECT_EQ(V_I4(out.get()), 1);
  EXPECT_EQ(details.Count(), 2) << "the entry stays";
  EXPECT_EQ(FindFaultDetail(details, u"urn:d", u"x", out.get(), &found), S_OK);
  EXPECT_FALSE(found);
  EXPECT_EQ(V_VT(out.get()), VT_EMPTY);
}

}  // namespace
}  // namespace qxsoap
