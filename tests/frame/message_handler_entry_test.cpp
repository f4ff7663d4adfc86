// The entry points' sequencing of the engines, and how a raised fault
// becomes the message's fault. The engines here are test doubles: they
// stand in for the parsers, binders and serializer that own their behaviour.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/message_handler.h"
#include "xml/namespaces.h"
#include "qxcom/eventlog.h"
#include "host/memory_port.h"
#include "xml/xml_element.h"

namespace qxsoap {
namespace {

using ::testing::_;
using ::testing::ByMove;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::Return;
using ::testing::StrictMock;

class MockParser : public MessageParserEngine {
 public:
  MOCK_METHOD(void, Parse, (MessageHandler&, PortDescription&), (override));
  MOCK_METHOD(const AccessorHandler*, RpcWrapper, (), (const, override));
  MOCK_METHOD(const AccessorHandler*, ResolveReference, (std::u16string_view), (const, override));
  MOCK_METHOD(const XmlElement*, ParsedEnvelope, (), (const, override));
  MOCK_METHOD(bool, FaultFound, (), (const, override));
  MOCK_METHOD(std::optional<AccessorName>, ResultName, (), (const, override));
};

class MockRpc : public RpcEngine {
 public:
  MOCK_METHOD(void, CheckBinding, (MessageHandler&, PortDescription&), (override));
  MOCK_METHOD(bool, BindCall, (MessageHandler&, PortDescription&), (override));
  MOCK_METHOD(bool, BindGetCall,
              (MessageHandler&, PortDescription&, std::u16string_view, std::u16string_view,
               std::u16string_view),
              (override));
  MOCK_METHOD(bool, CheckMustUnderstand, (MessageHandler&), (override));
};

class MockSerializer : public MessageSerializerEngine {
 public:
  MOCK_METHOD(std::unique_ptr<XmlElement>, BuildMessage, (MessageHandler&, PortDescription&), (override));
};

std::unique_ptr<XmlElement> Envelope(MessageHandler&, PortDescription&) {
  auto root = XmlElement::NewTree(u"e");
  root->AppendChild(XmlElement::NewTree(u"\u00E9"));
  return root;
}

void RaiseSender12(MessageHandler& handler, PortDescription&) {
  handler.SetSOAPVersion(12);
  throw new QXSOAPFault(FaultKind::kSender, u"DuplicateID", u"urn:sub", u"Duplicate id.", true);
}

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QxSetEventSink(&CountEvent, &events_);
    handler_.InstallEngines({Install(request_), Install(response_), Install(rpc_), Install(serializer_)});
    ASSERT_TRUE(handler_.Initialize(u"S", u"P", u"", u"", u"", false, false, port_.get()));
  }
  void TearDown() override { QxSetEventSink(nullptr, nullptr); }

  // A new engine double for the handler to own; `watch` keeps its address.
  template <typename Engine>
  static std::unique_ptr<Engine> Install(Engine*& watch) {
    auto engine = std::make_unique<Engine>();
    watch = engine.get();
    return engine;
  }

  static void CountEvent(const char*, WORD, WORD, DWORD, const char* text, const void*, DWORD,
                         void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(text);
  }

  qxcom::ComPtr<host::MemoryPort> port_ = host::MemoryPort::Create();
  MessageHandler handler_;
  StrictMock<MockParser>* request_ = nullptr;
  StrictMock<MockParser>* response_ = nullptr;
  StrictMock<MockRpc>* rpc_ = nullptr;
  StrictMock<MockSerializer>* serializer_ = nullptr;
  std::vector<std::string> events_;
};

TEST_F(EntryTest, DeserializeParsesWithThePhasesParserThenChecksTheBinding) {
  handler_.SetFaultRaisedHere(false);
  InSequence order;
  EXPECT_CALL(*request_, Parse(_, _)).WillOnce(Invoke([](MessageHandler& handler, PortDescription&) {
    EXPECT_TRUE(handler.IsFaultRaisedHere()) << "set before the parse";
  }));
  EXPECT_CALL(*rpc_, CheckBinding(_, _));
  EXPECT_CALL(*response_, Parse(_, _));
  EXPECT_CALL(*rpc_, CheckBinding(_, _));
  EXPECT_TRUE(handler_.Deserialize());
  handler_.SetRequestPhase(false);
  EXPECT_TRUE(handler_.Deserialize());
  EXPECT_FALSE(handler_.IsSOAPFault());
  EXPECT_TRUE(events_.empty());
}

// A fault raised in the parse is recorded in the form of the version it
// left; the binding is then not checked (a StrictMock would complain).
TEST_F(EntryTest, AParseFaultBecomesTheFaultOfItsVersionAndSkipsTheBinding) {
  EXPECT_CALL(*request_, Parse(_, _))
      .WillOnce(Invoke([](MessageHandler&, PortDescription&) {
        RaiseFault(FaultKind::kSender, u"Bad envelope.", true);
      }))
      .WillOnce(Invoke(RaiseSender12));
  EXPECT_FALSE(handler_.Deserialize());
  EXPECT_TRUE(handler_.IsSOAPFault());
  EXPECT_EQ(handler_.GetSOAPFaultCode(), u"Client");
  EXPECT_EQ(handler_.GetSOAPFaultCodeNS(), SOAP11_ENV_NS);
  EXPECT_EQ(handler_.GetSOAPFaultString(), u"Bad envelope.");
  EXPECT_TRUE(handler_.NeedsFaultDetail());
  EXPECT_EQ(events_, std::vector<std::string>{"Bad envelope."});

  EXPECT_FALSE(handler_.Deserialize());
  EXPECT_EQ(handler_.GetSOAPFaultCode(), u"Sender");
  EXPECT_EQ(handler_.GetSOAPFaultCodeNS(), SOAP12_ENV_NS);
  EXPECT_EQ(handler_.GetSOAPFaultSubcode(), u"DuplicateID");
  EXPECT_EQ(handler_.GetSOAPFaultSubcodeNS(), u"urn:sub");
  std::u16string reason;
  ASSERT_TRUE(handler_.GetSOAP12ReasonText(u"en", &reason));
  EXPECT_EQ(reason, u"Duplicate id.");
  EXPECT_EQ(handler_.GetSOAPFaultString(), u"Bad envelope.") << "a SOAP 1.2 fault leaves the fault string";
}

TEST_F(EntryTest, SerializeReplacesTheBufferWithTheWrittenMessageOrNothing) {
  const BYTE request[] = {'r', 'e', 'q'};
  EXPECT_CALL(*serializer_, BuildMessage(_, _))
      .WillOnce(Invoke(Envelope))
      .WillOnce(Return(ByMove(nullptr)))
      .WillOnce(Invoke([](MessageHandler&, PortDescription&) -> std::unique_ptr<XmlElement> {
        RaiseFault(FaultKind::kReceiver, u"Error while serializing 'array of array' parameter.", false);
      }));
  handler_.SetBuffer(request);
  EXPECT_TRUE(handler_.Serialize());
  const auto buffer = handler_.GetBuffer();
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><e><\xC3\xA9 /></e>");
  EXPECT_FALSE(handler_.Serialize());
  EXPECT_TRUE(handler_.GetBuffer().empty());
  EXPECT_FALSE(handler_.IsSOAPFault()) << "no message is not a fault";
  handler_.SetBuffer(request);
  EXPECT_FALSE(handler_.Serialize());
  EXPECT_TRUE(handler_.GetBuffer().empty());
  EXPECT_TRUE(handler_.IsSOAPFault()) << "recorded, so a fault message can follow";
}

TEST(EntryWithoutEngines, EveryEntryPointFailsWithARecordedReceiverFault) {
  auto port = host::MemoryPort::Create();
  const struct {
    const char* why;
    bool (*call)(MessageHandler&);
  } rows[] = {
      {"Deserialize", [](MessageHandler& h) { return h.Deserialize(); }},
      {"ProcessRPC", [](MessageHandler& h) { return h.ProcessRPC(); }},
      {"ProcessRPCGet", [](MessageHandler& h) { return h.ProcessRPCGet(u"", u"", u""); }},
      {"CheckMustUnderstand", [](MessageHandler& h) { return h.CheckMustUnderstand(); }},
      {"Serialize", [](MessageHandler& h) { return h.Serialize(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    MessageHandler handler;
    ASSERT_TRUE(handler.Initialize(u"", u"", u"", u"", u"", false, false, port.get()));
    EXPECT_FALSE(row.call(handler));
    EXPECT_TRUE(handler.IsSOAPFault());
    EXPECT_TRUE(handler.GetSOAPFaultCode() == u"Server" || handler.GetSOAPFaultCode() == u"Receiver");
    EXPECT_FALSE(handler.Fault().faultString.empty() && handler.Fault().reasonTexts.empty());
  }
}

TEST(EntryWithoutPort, EnginesAreNotCalledBeforeInitialize) {
  auto parser = std::make_unique<StrictMock<MockParser>>();
  auto rpc = std::make_unique<StrictMock<MockRpc>>();
  MessageHandler handler({nullptr, std::move(parser), std::move(rpc), nullptr});
  EXPECT_FALSE(handler.Deserialize());
  EXPECT_FALSE(handler.ProcessRPC());
  EXPECT_EQ(handler.GetSOAPFaultString(), u"No port description: Initialize has not succeeded.");
}

}  // namespace
}  // namespace qxsoap
