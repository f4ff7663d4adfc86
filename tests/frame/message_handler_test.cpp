// The handler's own answers: the event log report of a caught fault, entry
// points that cannot run, what it derives from the port description, and
// which header blocks it hands out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/fault_event.h"
#include "frame/message_handler.h"
#include "host/memory_port.h"
#include "qxcom/eventlog.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap {
namespace {

using host::MemoryPort;

struct Event {
  std::string source;
  WORD type;
  std::string text;
};

class EventLogTest : public ::testing::Test {
 protected:
  void SetUp() override { QxSetEventSink(&Capture, &events_); }
  void TearDown() override { QxSetEventSink(nullptr, nullptr); }

  static void Capture(const char* source, WORD type, WORD, DWORD, const char* text, const void*,
                      DWORD, void* context) {
    static_cast<std::vector<Event>*>(context)->push_back({source, type, text});
  }

  std::vector<Event> events_;
};

TEST_F(EventLogTest, OneInformationEventWithTheTextCutTo127BytesOnACharacterBoundary) {
  const std::u16string e_acute(1, u'\u00E9');  // 2 bytes in UTF-8
  const std::u16string euro(1, u'\u20AC');     // 3 bytes in UTF-8
  const struct {
    const char* why;
    std::u16string message;
    std::string text;
  } rows[] = {
      {"127 bytes pass whole", std::u16string(127, u'a'), std::string(127, 'a')},
      {"a two-byte character across the limit is dropped whole",
       std::u16string(126, u'c') + e_acute, std::string(126, 'c')},
      {"a three-byte character ending exactly at 127 stays",
       std::u16string(124, u'd') + euro + u"x", std::string(124, 'd') + "\xE2\x82\xAC"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    events_.clear();
    ReportFaultEvent(row.message);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].text, row.text);
  }
  EXPECT_EQ(events_[0].source, "Tolvane SOAP Message Handler");
  EXPECT_EQ(events_[0].type, EVENTLOG_INFORMATION_TYPE);
}

// Each entry point fails with a recorded Receiver fault, reported to the
// event log, when the handler lacks its engine or Initialize has not
// succeeded; a failed Serialize leaves none of the old bytes behind.
TEST_F(EventLogTest, EntryPointsThatCannotRunRecordAndReportAFault) {
  auto port = MemoryPort::Create();
  const struct {
    std::function<bool(MessageHandler&)> call;
    const char16_t* code;
    std::string text;
  } rows[] = {
      {[](MessageHandler& h) { return h.Deserialize(); }, u"Server",
       "The request parser is not available in this build."},
      {[](MessageHandler& h) { return h.ProcessRPC(); }, u"Server",
       "RPC binding is not available in this build."},
      {[](MessageHandler& h) { return h.ProcessRPCGet(u"", u"", u""); }, u"Receiver",
       "GET binding is not available in this build."},
      {[](MessageHandler& h) { return h.CheckMustUnderstand(); }, u"Server",
       "The mustUnderstand check is not available in this build."},
      {[](MessageHandler& h) { return h.Serialize(); }, u"Server",
       "The serializer is not available in this build."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    events_.clear();
    MessageHandler handler;
    ASSERT_TRUE(handler.Initialize(u"", u"", u"", u"", u"", false, false, port.get()));
    EXPECT_FALSE(row.call(handler));
    EXPECT_TRUE(handler.IsSOAPFault());
    EXPECT_EQ(handler.GetSOAPFaultCode(), row.code);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].text, row.text);
  }

  events_.clear();
  MessageHandler handler;
  handler.SetFaultRaisedHere(false);
  EXPECT_FALSE(handler.Deserialize());
  EXPECT_TRUE(handler.IsFaultRaisedHere()) << "a fault of this parse is raised here";
  EXPECT_EQ(handler.GetSOAPFaultString(), u"No port description: Initialize has not succeeded.");
  EXPECT_EQ(events_.size(), 1u);
  const BYTE request[] = {'r', 'e', 'q'};
  handler.SetBuffer(request);
  EXPECT_FALSE(handler.Serialize());
  EXPECT_TRUE(handler.GetBuffer().empty());
  EXPECT_EQ(handler.GetPortAddress(), u"");
  EXPECT_FALSE(handler.IsRPCStyle());
}

TEST(MessageHandlerPort, AddressAndStyleFromThePortDescription) {
  const struct {
    const char* why;
    std::function<void(MemoryPort&)> declare;
    const char16_t* address;
    bool rpcStyle;
  } rows[] = {
      {"port 80 is left out of the address",
       [](MemoryPort& p) { p.Address(u"example.org", u"/calc", 80).Style(u"rpc"); },
       u"http://example.org/calc", true},
      {"any other port is written after a colon",
       [](MemoryPort& p) { p.Address(u"example.org", u"/calc", 8080).Style(u"document"); },
       u"http://example.org:8080/calc", false},
      {"the style compares case-sensitively; no address gives empty text",
       [](MemoryPort& p) { p.Style(u"RPC"); }, u"", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    auto port = MemoryPort::Create();
    row.declare(*port.get());
    MessageHandler handler;
    ASSERT_TRUE(handler.Initialize(u"S", u"P", u"", u"", u"", false, false, port.get()));
    EXPECT_EQ(handler.GetPortAddress(), row.address);
    EXPECT_EQ(handler.IsRPCStyle(), row.rpcStyle);
  }
}

TEST(MessageHandlerState, ClearMethodParamsAlsoDropsTheLiteralBody) {
  MessageHandler handler;
  ASSERT_TRUE(handler.SetBodyElemLiteral(u"<Body/>", u""));
  handler.ClearMethodParams();
  std::u16string body = u"untouched";
  EXPECT_FALSE(handler.GetBodyElemLiteral(&body));
  EXPECT_EQ(body, u"untouched");
}

// Which blocks GetHeaderElem takes (the first of a name, compared exactly)
// and GetHeaderElemLiteral finds, as the version, roles and next hop decide.
// Unlike a typed block, a literal one for the none role is found only when
// none is one of the node's roles.
TEST(MessageHandlerHeaders, TakenAsVersionRolesAndNextHopDecide) {
  constexpr std::u16string_view kNs = u"urn:h";
  MessageHandler handler;
  for (const char16_t* text : {u"first", u"second"}) {
    ASSERT_EQ(handler.AddHeaderElem(kNs, u"end", test::BstrVariant(text).get(), false, u""), S_OK);
  }
  ASSERT_EQ(handler.AddHeaderElem12(kNs, u"none", test::BstrVariant(u"n").get(), false,
                                    SOAP12_ROLE_NONE, false, true),
            S_OK);
  ASSERT_TRUE(handler.AddHeaderElemLiteral12(kNs, u"lit", u"<lit/>", false, SOAP12_ROLE_NONE, false, u""));
  // The text of the typed block taken, or "-".
  auto take = [&](std::u16string_view name) -> std::u16string {
    qxcom::Variant content = test::BstrVariant(u"stale");
    bool found = false;
    EXPECT_EQ(handler.GetHeaderElem(kNs, name, content.get(), &found), S_OK);
    if (found) return test::TextOf(*content.get());
    EXPECT_EQ(V_VT(content.get()), VT_EMPTY) << "no match hands out VT_EMPTY";
    return u"-";
  };
  std::u16string literal;

  handler.SetSOAPVersion(12);
  EXPECT_EQ(take(u"none"), u"n");
  EXPECT_EQ(take(u"none"), u"n") << "SOAP 1.2 none blocks stay";
  EXPECT_FALSE(handler.GetHeaderElemLiteral(kNs, u"lit", &literal));
  handler.SetNextHopURL(u"http://next/");
  EXPECT_EQ(take(u"end"), u"-") << "an intermediary leaves unaddressed blocks alone";
  qxcom::Variant roles = test::StringArrayVariant({u"", std::u16string(SOAP12_ROLE_NONE)});
  ASSERT_TRUE(handler.SetRoles(roles.get()));
  EXPECT_EQ(take(u"END"), u"-");
  EXPECT_EQ(take(u"end"), u"first") << "the empty string is one of its roles";
  EXPECT_EQ(take(u"end"), u"second");
  EXPECT_EQ(take(u"end"), u"-");
  EXPECT_TRUE(handler.GetHeaderElemLiteral(kNs, u"lit", &literal));
  EXPECT_EQ(literal, u"<lit/>");

  handler.SetSOAPVersion(11);
  EXPECT_EQ(take(u"none"), u"n");
  EXPECT_EQ(take(u"none"), u"-") << "SOAP 1.1 has no none role: the block is consumed";
}

}  // namespace
}  // namespace qxsoap
