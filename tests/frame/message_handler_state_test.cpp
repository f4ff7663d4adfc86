// Initialize and the reference it holds to the port description.
#include <gtest/gtest.h>

#include "frame/message_handler.h"
#include "host/memory_port.h"

namespace qxsoap {
namespace {

bool InitializeWith(MessageHandler& handler, IDispatch* port) {
  return handler.Initialize(u"Svc", u"Port", u"urn:node", u"urn:action", u"", true, true, port);
}

TEST(Initialize, HoldsOneReferenceToAPortDescriptionOnly) {
  auto port = host::MemoryPort::Create();
  auto other = host::MemoryPort::Create();
  other->WithoutPortDescriptionInterface();
  {
    MessageHandler handler;
    EXPECT_FALSE(InitializeWith(handler, nullptr));
    EXPECT_FALSE(handler.IsRequestPhase()) << "a null object changes nothing";
    ASSERT_TRUE(InitializeWith(handler, port.get()));
    EXPECT_TRUE(handler.IsRequestPhase());
    ASSERT_TRUE(InitializeWith(handler, port.get()));
    EXPECT_EQ(port->RefCount(), 2u) << "a second Initialize replaces the reference";
    EXPECT_FALSE(InitializeWith(handler, other.get()));
    EXPECT_EQ(handler.GetPortDescription(), nullptr) << "a refused object drops the old one";
    EXPECT_EQ(other->RefCount(), 1u);
  }
  EXPECT_EQ(port->RefCount(), 1u);
}

}  // namespace
}  // namespace qxsoap
