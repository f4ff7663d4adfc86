// The in-memory port description answers what a test declared, reports
// everything else as not found, and counts its references.
#include "host/memory_port.h"

#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "host/port_questions.h"

namespace qxsoap::host {
namespace {

using test::Row;

class MemoryPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_->Operation(u"Add")
        .Action(u"urn:calc#Add", true)
        .InputHeader({u"Auth", u"urn:h"}, Xsd(u"string"), u"urn:enc")
        .OutputHeader({u"Receipt", u"urn:h"}, Xsd(u"int"), u"urn:out")
        .FaultHeader({u"Trace", u"urn:h"}, Xsd(u"boolean"), u"urn:fault")
        .FaultDetail({u"Why", u"urn:d"}, Xsd(u"date"), u"encoded", u"urn:detail");
  }

  void Check(const std::vector<Row>& rows) {
    test::CheckPort(port_.get(), {{"h", "urn:h"}, {"d", "urn:d"}}, rows);
  }

  qxcom::ComPtr<MemoryPort> port_ = MemoryPort::Create();
};

// The part builders are read back by every exchange in tests/parse, the
// getters by the WSDL port tests (a WSDL port is a memory port too).
TEST_F(MemoryPortTest, AnswersWhatTheExchangesDoNotAsk) {
  Check({{"required Add", "true"}, {"base xsd:int", "xsd:int"},
         {"action Nope", "-"}, {"walk Nope", ""}, {"required Nope", "-"}});
  test::CheckPort(MemoryPort::Create().get(), {}, {{"binding", "-"}, {"style", "-"}, {"address", "-"}});
}

// Each block getter answers from its own list: a block declared for another
// message is not found through it.
TEST_F(MemoryPortTest, BlocksAreKeptPerMessage) {
  const char* blocks[][5] = {{"inHeader", "h:Auth", "xsd:string", "inHeaderStyle", "urn:enc"},
                             {"outHeader", "h:Receipt", "xsd:int", "outHeaderStyle", "urn:out"},
                             {"faultHeader", "h:Trace", "xsd:boolean", "faultHeaderStyle", "urn:fault"},
                             {"detail", "d:Why", "xsd:date", "detailStyle", "urn:detail"}};
  std::vector<Row> rows;
  for (const auto& getter : blocks) {
    for (const auto& block : blocks) {
      const bool same = &getter == &block;
      rows.push_back({std::string(getter[0]) + " Add " + block[1], same ? block[2] : "-"});
      rows.push_back({std::string(getter[3]) + " Add " + block[1], same ? block[4] : "-"});
    }
  }
  Check(rows);
}

// Every handler asks for PortDescription; these are the refusals.
TEST_F(MemoryPortTest, RefusesOtherInterfaces) {
  void* other = &other;
  EXPECT_EQ(port_->QueryInterface(IID_IStorage, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(port_->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
  EXPECT_EQ(port_->RefCount(), 1u);
}

// A server shares one description among the handlers of all its worker
// threads; each handler takes and drops references while another does too.
TEST_F(MemoryPortTest, ReferencesTakenOnManyThreadsAllCount) {
  constexpr int kThreads = 4, kRounds = 1'000'000;
  // Through the interface, as the handler calls it (the concrete class is
  // final, so direct calls could be merged into no change at all).
  PortDescription* shared = port_.get();
  std::latch start(kThreads + 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([shared, &start] {
      start.arrive_and_wait();
      for (int i = 0; i < kRounds; ++i) {
        shared->AddRef();
        shared->Release();
      }
    });
  }
  start.arrive_and_wait();
  for (int i = 0; i < kRounds; ++i) shared->AddRef();
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(port_->RefCount(), 1u + kRounds);
  for (int i = 0; i < kRounds; ++i) shared->Release();
}

}  // namespace
}  // namespace qxsoap::host
