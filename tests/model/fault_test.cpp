// Fault code names and the fault state operations and their interplay.
#include <gtest/gtest.h>

#include <memory>

#include "model/fault_record.h"
#include "model/fault_state.h"
#include "xml/namespaces.h"
#include "support/variants.h"

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
    {"Sender in SOAP 1.2", FaultKind::kSender, 12, u"Sender", SOAP12_ENV_NS},
    {"Receiver is Server in SOAP 1.1", FaultKind::kReceiver, 11, u"Server", SOAP11_ENV_NS},
    {"Receiver in SOAP 1.2", FaultKind::kReceiver, 12, u"Receiver", SOAP12_ENV_NS},
    {"any version but 11 is SOAP 1.2", FaultKind::kReceiver, 0, u"Receiver", SOAP12_ENV_NS},
    {"names shared by both versions", FaultKind::kVersionMismatch, 11, u"VersionMismatch", SOAP11_ENV_NS},
    {"MustUnderstand", FaultKind::kMustUnderstand, 12, u"MustUnderstand", SOAP12_ENV_NS},
    {"DataEncodingUnknown", FaultKind::kDataEncodingUnknown, 11, u"DataEncodingUnknown", SOAP11_ENV_NS},
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

TEST(RaiseFault, ThrowsAHeapRecordTheCatcherOwns) {
  try {
    RaiseFault(FaultKind::kSender, u"bad", true);
    FAIL() << "RaiseFault returned";
  } catch (QXSOAPFault* thrown) {
    std::unique_ptr<QXSOAPFault> fault(thrown);
    EXPECT_EQ(fault->kind, FaultKind::kSender);
    EXPECT_EQ(fault->message, u"bad");
    EXPECT_TRUE(fault->needDetail);
    EXPECT_TRUE(fault->subcode.empty());
  }
}

TEST(FaultState, StartsEmptyRaisedHere) {
  const FaultState state;
  EXPECT_FALSE(state.isFault);
  EXPECT_TRUE(state.faultRaisedHere);
  EXPECT_FALSE(state.needDetail);
}

TEST(FaultState, Soap12AfterTwoReasonTextsKeepsOnlyItsOwn) {
  FaultState state;
  state.AddReasonText(u"hello", u"en");
  state.AddReasonText(u"hallo", u"de");
  EXPECT_FALSE(state.isFault) << "a reason text alone sets no fault";
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"fr", u"salut"}}, u"", false);
  ASSERT_EQ(state.reasonTexts.size(), 1u);
  EXPECT_EQ(state.reasonTexts.at(u"fr"), u"salut");
  EXPECT_TRUE(state.isFault);
}

TEST(FaultState, SameLanguageTwiceKeepsTheSecondText) {
  FaultState state;
  state.AddReasonText(u"one", u"en");
  state.AddReasonText(u"two", u"en");
  ASSERT_EQ(state.reasonTexts.size(), 1u);
  EXPECT_EQ(state.FindReasonText(u"en"), u"two");
  EXPECT_FALSE(state.FindReasonText(u"EN").has_value()) << "language ids compare exactly";
}

TEST(FaultState, Soap11AfterSoap12EmptiesTheSubcodeAndKeepsReasons) {
  FaultState state;
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"en", u"r"}}, u"node", true);
  state.faultString = u"kept by SetFault12";
  state.SetFault11(u"Client", SOAP11_ENV_NS, u"text", u"", false);
  EXPECT_TRUE(state.faultSubcode.empty());
  EXPECT_TRUE(state.faultSubcodeNS.empty());
  EXPECT_EQ(state.reasonTexts.size(), 1u);
  EXPECT_EQ(state.faultString, u"text");
  EXPECT_TRUE(state.faultNode.empty());
  EXPECT_FALSE(state.needDetail);
}

TEST(FaultState, Soap12LeavesTheFaultStringAndRaisedHere) {
  FaultState state;
  state.SetFault11(u"Client", SOAP11_ENV_NS, u"old string", u"", false);
  state.faultRaisedHere = false;
  state.SetFault12(u"Receiver", SOAP12_ENV_NS, u"", u"", {}, u"", true);
  EXPECT_EQ(state.faultString, u"old string");
  EXPECT_FALSE(state.faultRaisedHere);
  EXPECT_TRUE(state.needDetail);
}

TEST(FaultState, ClearEmptiesFieldsAndTheFaultLists) {
  FaultState state;
  state.SetFault12(u"Sender", SOAP12_ENV_NS, u"sub", u"urn:s", {{u"en", u"r"}}, u"node", true);
  state.faultRaisedHere = false;
  qxcom::Variant content = test::LongVariant(5);
  ASSERT_EQ(state.faultDetailElems.AppendNew([&](ElemRecord& entry) {
    return CopyContentIn(entry, content.get());
  }),
            S_OK);
  ASSERT_EQ(state.faultHeaders.AddTyped(u"urn:h", u"h", nullptr, false, u"", false, false), S_OK);
  ASSERT_TRUE(state.faultHeaders.AddLiteral(u"urn:h", u"l", u"<l/>", false, u"", false, u"", false));
  state.Clear();
  EXPECT_FALSE(state.isFault);
  EXPECT_TRUE(state.faultRaisedHere);
  EXPECT_FALSE(state.needDetail);
  EXPECT_TRUE(state.faultCode.empty() && state.faultSubcode.empty() && state.faultNode.empty());
  EXPECT_TRUE(state.reasonTexts.empty());
  EXPECT_EQ(state.faultDetailElems.Count(), 0);
  EXPECT_EQ(state.faultHeaders.typed.Count(), 0);
  EXPECT_EQ(state.faultHeaders.literal.Count(), 0);
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
  EXPECT_EQ(details.Count(), 2);
  EXPECT_EQ(FindFaultDetail(details, u"urn:d", u"x", out.get(), &found), S_OK);
  EXPECT_FALSE(found);
  EXPECT_EQ(V_VT(out.get()), VT_EMPTY);
}

}  // namespace
}  // namespace qxsoap
