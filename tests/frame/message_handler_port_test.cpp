// What the handler derives from the port description (address and style),
// and what clearing the method parameters drops.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "frame/message_handler.h"
#include "host/memory_port.h"

namespace qxsoap {
namespace {

using host::MemoryPort;

struct PortRow {
  const char* why;
  std::function<void(MemoryPort&)> declare;
  const char16_t* address;
  bool rpcStyle;
};

TEST(MessageHandlerPort, DerivedAnswersRows) {
  const PortRow rows[] = {
      {"port 80 is left out of the address",
       [](MemoryPort& p) { p.Address(u"example.org", u"/calc", 80).Style(u"rpc"); },
       u"http://example.org/calc", true},
      {"any other port is written after a colon",
       [](MemoryPort& p) { p.Address(u"example.org", u"/calc", 8080).Style(u"document"); },
       u"http://example.org:8080/calc", false},
      {"the style compares case-sensitively; no address gives empty text",
       [](MemoryPort& p) { p.Style(u"RPC"); }, u"", false},
      {"no style at all is not rpc", [](MemoryPort&) {}, u"", false},
  };
  for (const PortRow& row : rows) {
    SCOPED_TRACE(row.why);
    auto port = MemoryPort::Create();
    row.declare(*port.get());
    MessageHandler handler;
    ASSERT_TRUE(handler.Initialize(u"S", u"P", u"", u"", u"", false, false, port.get()));
    EXPECT_EQ(handler.GetPortAddress(), row.address);
    EXPECT_EQ(handler.IsRPCStyle(), row.rpcStyle);
  }
}

TEST(MessageHandlerPort, WithoutInitializeThereIsNoAddressAndNoRpcStyle) {
  MessageHandler handler;
  EXPECT_EQ(handler.GetPortAddress(), u"");
  EXPECT_FALSE(handler.IsRPCStyle());
}

TEST(MessageHandlerState, ClearMethodParamsAlsoDropsTheLiteralBody) {
  MessageHandler handler;
  ASSERT_TRUE(handler.SetBodyElemLiteral(u"<Body/>", u""));
  std::u16string body;
  ASSERT_TRUE(handler.GetBodyElemLiteral(&body));
  handler.ClearMethodParams();
  body = u"untouched";
  EXPECT_FALSE(handler.GetBodyElemLiteral(&body));
  EXPECT_EQ(body, u"untouched");
}

}  // namespace
}  // namespace qxsoap
