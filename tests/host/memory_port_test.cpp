// The in-memory port description answers what a test declared, reports
// everything else as not found, and counts its references.
#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "host/memory_port.h"

namespace qxsoap::host {
namespace {

// An owned BSTR used as an argument (from the constructor) or as an output
// (through out(), which frees what the previous call stored).
struct Text {
  explicit Text(std::u16string_view text = u"")
      : value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { SysFreeString(raw); }
  BSTR get() const { return value.get(); }
  BSTR* out() {
    SysFreeString(std::exchange(raw, nullptr));
    value = qxcom::Bstr();
    return &raw;
  }
  std::u16string str() {
    if (raw) value = qxcom::Bstr(std::exchange(raw, nullptr));
    return {value.get() ? value.get() : u"", SysStringLen(value.get())};
  }
  qxcom::Bstr value;
  BSTR raw = nullptr;
};

class MemoryPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_->Binding(WSDL_SOAP11_NS).Style(u"rpc").Address(u"example.org", u"/calc", 8080);
    port_->Operation(u"Add")
        .Namespace(u"urn:calc")
        .Action(u"urn:calc#Add", true)
        .Use(u"encoded")
        .In(u"a", Xsd(u"int"))
        .InOut(u"b", {u"Point", u"urn:t"})
        .Return(u"sum", Xsd(u"int"))
        .InputHeader({u"Auth", u"urn:h"}, Xsd(u"string"), u"urn:enc")
        .OutputHeader({u"Receipt", u"urn:h"}, Xsd(u"int"), u"urn:out")
        .FaultHeader({u"Trace", u"urn:h"}, Xsd(u"boolean"), u"urn:fault")
        .FaultDetail({u"Why", u"urn:d"}, Xsd(u"date"), u"encoded", u"urn:detail");
    port_->Struct({u"Point", u"urn:t"}).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"), u"urn:m");
    port_->Array({u"Ints", u"urn:t"}, Xsd(u"int"), 2);
    port_->LiteralArray({u"List", u"urn:t"}, Xsd(u"string"), {u"item", u"urn:t"});
    port_->Derived({u"Code", u"urn:t"}, Xsd(u"string"));
  }

  qxcom::ComPtr<MemoryPort> port_ = MemoryPort::Create();
  VARIANT_BOOL found_ = 99;
};

TEST_F(MemoryPortTest, AnswersTheDeclaredOperation) {
  Text op(u"Add"), text;
  EXPECT_EQ(port_->GetSOAPAction(op.get(), text.out(), &found_), S_OK);
  EXPECT_EQ(found_, VARIANT_TRUE);
  EXPECT_EQ(text.str(), u"urn:calc#Add");
  port_->GetOperationNS(op.get(), text.out(), &found_);
  EXPECT_EQ(text.str(), u"urn:calc");
  port_->GetInputUse(op.get(), text.out(), &found_);
  EXPECT_EQ(text.str(), u"encoded");
  VARIANT_BOOL required = 0;
  port_->IsSOAPActionRequired(op.get(), &required, &found_);
  EXPECT_EQ(required, VARIANT_TRUE);
  port_->GetFaultDetailUse(op.get(), Text(u"Why").get(), Text(u"urn:d").get(), text.out(), &found_);
  EXPECT_EQ(text.str(), u"encoded");
}

// Each block getter answers from its own list: a block declared for another
// message is not found through it.
TEST_F(MemoryPortTest, BlocksAreKeptPerMessage) {
  using TypeGetter = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR, BSTR*, BSTR*, VARIANT_BOOL*);
  using StyleGetter = HRESULT (PortDescription::*)(BSTR, BSTR, BSTR, BSTR*, VARIANT_BOOL*);
  const struct {
    TypeGetter type;
    StyleGetter style;
    const char16_t *name, *ns, *typeName, *styleURI;
  } rows[] = {
      {&PortDescription::GetInputHeaderType, &PortDescription::GetInputHeaderEncodingStyle, u"Auth", u"urn:h",
       u"string", u"urn:enc"},
      {&PortDescription::GetOutputHeaderType, &PortDescription::GetOutputHeaderEncodingStyle, u"Receipt",
       u"urn:h", u"int", u"urn:out"},
      {&PortDescription::GetFaultHeaderType, &PortDescription::GetFaultHeaderEncodingStyle, u"Trace", u"urn:h",
       u"boolean", u"urn:fault"},
      {&PortDescription::GetFaultDetailType, &PortDescription::GetFaultDetailEncodingStyle, u"Why", u"urn:d",
       u"date", u"urn:detail"},
  };
  Text op(u"Add"), name, ns, style;
  for (const auto& getter : rows) {
    for (const auto& block : rows) {
      SCOPED_TRACE(testing::Message() << "getter row " << &getter - rows << ", block row " << &block - rows);
      const VARIANT_BOOL expected = &getter == &block ? VARIANT_TRUE : VARIANT_FALSE;
      (port_.get()->*getter.type)(op.get(), Text(block.name).get(), Text(block.ns).get(), name.out(), ns.out(),
                                  &found_);
      EXPECT_EQ(found_, expected);
      (port_.get()->*getter.style)(op.get(), Text(block.name).get(), Text(block.ns).get(), style.out(), &found_);
      EXPECT_EQ(found_, expected);
      if (expected != VARIANT_TRUE) continue;
      EXPECT_EQ(name.str(), block.typeName);
      EXPECT_EQ(style.str(), block.styleURI);
    }
  }
}

TEST_F(MemoryPortTest, PartsInDeclarationOrderWithTheirRoles) {
  Text op(u"Add"), part;
  LONG position = 42;
  std::u16string order;
  port_->GetFirstPart(op.get(), part.out(), &position, &found_);
  while (found_ == VARIANT_TRUE) {
    order += part.str() + u";";
    port_->GetNextPart(op.get(), part.out(), &position, &found_);
  }
  EXPECT_EQ(order, u"a;b;sum;");
  EXPECT_EQ(position, 2);

  const struct {
    const char16_t* part;
    VARIANT_BOOL parameter, in, out;
  } rows[] = {{u"a", VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE},
              {u"b", VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE},
              {u"sum", VARIANT_FALSE, VARIANT_FALSE, VARIANT_TRUE}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.part, row.part + std::char_traits<char16_t>::length(row.part)));
    VARIANT_BOOL flag = 0;
    port_->IsParameter(op.get(), Text(row.part).get(), &flag);
    EXPECT_EQ(flag, row.parameter);
    port_->IsInParameter(op.get(), Text(row.part).get(), &flag);
    EXPECT_EQ(flag, row.in);
    port_->IsOutParameter(op.get(), Text(row.part).get(), &flag);
    EXPECT_EQ(flag, row.out);
  }
  port_->GetPartPosition(op.get(), Text(u"b").get(), &position, &found_);
  EXPECT_EQ(position, 1);
  Text name, ns;
  port_->GetReturnType(op.get(), Text(u"sum").get(), name.out(), ns.out(), &found_);
  EXPECT_EQ(name.str(), u"int");
  EXPECT_EQ(ns.str(), XSD2001_NS);
  port_->GetInputPartType(op.get(), Text(u"b").get(), name.out(), ns.out(), &found_);
  EXPECT_EQ(name.str(), u"Point");
}

TEST_F(MemoryPortTest, AnswersTheDeclaredTypes) {
  Text name, ns, elementName, elementNS;
  port_->GetMemberType(Text(u"Point").get(), Text(u"urn:t").get(), Text(u"y").get(), Text(u"urn:m").get(),
                       name.out(), ns.out(), &found_);
  EXPECT_EQ(found_, VARIANT_TRUE);
  EXPECT_EQ(name.str(), u"int");
  port_->GetMemberType(Text(u"Point").get(), Text(u"urn:t").get(), Text(u"y").get(), Text().get(),
                       name.out(), ns.out(), &found_);
  EXPECT_EQ(found_, VARIANT_FALSE) << "member namespaces are part of the key";

  const struct {
    const char16_t *type, *typeNS, *base, *baseNS;
  } bases[] = {{u"Point", u"urn:t", u"Point", u"urn:t"},
               {u"Ints", u"urn:t", u"Array", SOAP11_ENC_NS.data()},
               {u"Code", u"urn:t", u"string", XSD2001_NS.data()},
               {u"int", XSD2001_NS.data(), u"int", XSD2001_NS.data()}};
  for (const auto& row : bases) {
    port_->GetBaseType(Text(row.type).get(), Text(row.typeNS).get(), name.out(), ns.out(), &found_);
    EXPECT_EQ(found_, VARIANT_TRUE);
    EXPECT_EQ(name.str(), row.base);
    EXPECT_EQ(ns.str(), row.baseNS);
  }
  LONG rank = 0;
  port_->GetArrayRank(Text(u"Ints").get(), Text(u"urn:t").get(), &rank, &found_);
  EXPECT_EQ(rank, 2);
  port_->GetArrayItemType(Text(u"Ints").get(), Text(u"urn:t").get(), name.out(), ns.out(), &found_);
  EXPECT_EQ(name.str(), u"int");
  port_->GetLiteralArrayType(Text(u"List").get(), Text(u"urn:t").get(), name.out(), ns.out(),
                             elementName.out(), elementNS.out(), &found_);
  EXPECT_EQ(name.str(), u"string");
  EXPECT_EQ(elementName.str(), u"item");
}

TEST_F(MemoryPortTest, UndeclaredItemsAreNotFound) {
  Text text, ns;
  LONG number = 0;
  Text unknown(u"Nope");
  EXPECT_EQ(port_->GetSOAPAction(unknown.get(), text.out(), &found_), S_OK);
  EXPECT_EQ(found_, VARIANT_FALSE);
  found_ = 99;
  port_->GetFirstPart(unknown.get(), text.out(), &number, &found_);
  EXPECT_EQ(found_, VARIANT_FALSE);
  found_ = 99;
  port_->GetBaseType(unknown.get(), Text(u"urn:t").get(), text.out(), ns.out(), &found_);
  EXPECT_EQ(found_, VARIANT_FALSE);
  found_ = 99;
  port_->GetOutputEncodingStyle(Text(u"Add").get(), text.out(), &found_);
  EXPECT_EQ(found_, VARIANT_FALSE) << "declared operation, undeclared style";
  auto bare = MemoryPort::Create();
  bare->GetBindingNS(text.out(), &found_);
  EXPECT_EQ(found_, VARIANT_FALSE);
  bare->GetAddress(text.out(), ns.out(), &number, &found_);
  EXPECT_EQ(found_, VARIANT_FALSE);
}

TEST_F(MemoryPortTest, CountsReferencesAndAnswersItsInterfaces) {
  EXPECT_EQ(port_->RefCount(), 1u);
  qxcom::ComPtr<PortDescription> description;
  ASSERT_EQ(port_->QueryInterface(IID_PortDescription, reinterpret_cast<void**>(description.put())), S_OK);
  EXPECT_EQ(port_->RefCount(), 2u);
  description = qxcom::ComPtr<PortDescription>();
  EXPECT_EQ(port_->RefCount(), 1u);
  void* other = nullptr;
  EXPECT_EQ(port_->QueryInterface(IID_IStorage, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(port_->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
  port_->WithoutPortDescriptionInterface();
  EXPECT_EQ(port_->QueryInterface(IID_PortDescription, &other), E_NOINTERFACE);
  UINT count = 5;
  EXPECT_EQ(port_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
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
