// Initialize and the answers derived from the port description.
#include <gtest/gtest.h>

#include "frame/message_handler.h"
#include "host/memory_port.h"

namespace qxsoap {
namespace {

using host::MemoryPort;

bool InitializeWith(MessageHandler& handler, IDispatch* port, std::u16string_view nextHop = u"") {
  return handler.Initialize(u"Svc", u"Port", u"urn:node", u"urn:action", nextHop, true, true, port);
}

TEST(Initialize, StoresTheExchangeAndLeavesListsFaultAndBufferAlone) {
  auto port = MemoryPort::Create();
  MessageHandler handler;
  handler.SetNoContentResponse(true);
  const BYTE bytes[] = {1, 2, 3};
  ASSERT_TRUE(handler.SetBuffer(bytes));
  handler.AddHeaderElem(u"urn:h", u"h", nullptr, false, u"");
  handler.SetFault11(u"Client", u"urn:ns", u"text", u"", false);
  EXPECT_FALSE(handler.IsRequestPhase());
  ASSERT_TRUE(InitializeWith(handler, port.get(), u"http://next/"));
  EXPECT_TRUE(handler.IsRequestPhase());
  EXPECT_EQ(handler.GetServiceName(), u"Svc");
  EXPECT_EQ(handler.GetPortName(), u"Port");
  EXPECT_EQ(handler.GetNodeURI(), u"urn:node");
  EXPECT_EQ(handler.GetSOAPAction(), u"urn:action");
  EXPECT_EQ(handler.GetNextHopURL(), u"http://next/");
  EXPECT_TRUE(handler.IsExplicitTypingEnabled());
  EXPECT_TRUE(handler.IsNodeTypeEnabled());
  EXPECT_FALSE(handler.IsNoContentResponse());
  EXPECT_EQ(handler.GetPortDescription(), static_cast<PortDescription*>(port.get()));
  EXPECT_EQ(handler.GetBuffer().size(), 3u);
  EXPECT_EQ(handler.GetNumHeaderElems(), 1);
  EXPECT_TRUE(handler.IsSOAPFault());
}

TEST(Initialize, HoldsOneReferenceToAPortDescriptionOnly) {
  auto port = MemoryPort::Create();
  auto other = MemoryPort::Create();
  other->WithoutPortDescriptionInterface();
  {
    MessageHandler handler;
    EXPECT_FALSE(InitializeWith(handler, nullptr));
    EXPECT_FALSE(handler.IsRequestPhase()) << "a null object changes nothing";
    ASSERT_TRUE(InitializeWith(handler, port.get()));
    ASSERT_TRUE(InitializeWith(handler, port.get()));
    EXPECT_EQ(port->RefCount(), 2u) << "a second Initialize replaces the reference";
    EXPECT_FALSE(InitializeWith(handler, other.get()));
    EXPECT_EQ(handler.GetPortDescription(), nullptr) << "a refused object drops the old one";
    EXPECT_EQ(other->RefCount(), 1u);
  }
  EXPECT_EQ(port->RefCount(), 1u);
}

TEST(IsRPCStyle, Rows) {
  const struct {
    const char* why;
    const char16_t* style;  // null: not declared
    bool rpc;
  } rows[] = {
      {"exactly rpc", u"rpc", true},
      {"letter case matters", u"RPC", false},
      {"document style", u"document", false},
      {"no style reported", nullptr, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    auto port = MemoryPort::Create();
    if (row.style) port->Style(row.style);
    MessageHandler handler;
    ASSERT_TRUE(InitializeWith(handler, port.get()));
    EXPECT_EQ(handler.IsRPCStyle(), row.rpc);
  }
  EXPECT_FALSE(MessageHandler().IsRPCStyle()) << "no port description";
}

TEST(GetPortAddress, Rows) {
  const struct {
    const char* why;
    LONG port;
    const char16_t* address;
  } rows[] = {
      {"port 80 is left out", 80, u"http://example.org/calc"},
      {"another port is written in decimal", 8080, u"http://example.org:8080/calc"},
      {"a negative port is still written", -1, u"http://example.org:-1/calc"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    auto port = MemoryPort::Create();
    port->Address(u"example.org", u"/calc", row.port);
    MessageHandler handler;
    ASSERT_TRUE(InitializeWith(handler, port.get()));
    EXPECT_EQ(handler.GetPortAddress(), row.address);
  }
  auto silent = MemoryPort::Create();
  MessageHandler handler;
  ASSERT_TRUE(InitializeWith(handler, silent.get()));
  EXPECT_EQ(handler.GetPortAddress(), u"") << "no address reported";
  EXPECT_EQ(MessageHandler().GetPortAddress(), u"") << "no port description";
}

}  // namespace
}  // namespace qxsoap
