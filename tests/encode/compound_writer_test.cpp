// Arrays and structs: the bounds an encoded array declares in both forms,
// item order, nested arrays, struct members and their prefixes, literal
// arrays and structs, and the faults of items that cannot be written.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "encode/value_writer.h"
#include "model/fault_record.h"
#include "qxsoap/struct_object.h"
#include "serializer_test_support.h"
#include "support/dispatch_stub.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

const TypeName kInts{u"ArrayOfint", u"urn:t"};
const TypeName kGrid{u"ArrayOfArrayOfint", u"urn:t"};
const TypeName kPoint{u"Point", u"urn:t"};
const TypeName kPoints{u"ArrayOfPoint", u"urn:t"};
const TypeName kLiteralInts{u"IntList", u"urn:t"};
const TypeName kLiteralGrid{u"IntGrid", u"urn:t"};
const TypeName kAnything{u"ArrayOfanyType", u"urn:t"};
const TypeName kNode{u"Node", u"urn:t"};
const TypeName kTokens{u"TokenList", u"urn:t"};
const std::u16string kEnc11(SOAP11_ENC_NS);
const std::u16string kEnc12(SOAP12_ENC_NS);

qxcom::ComPtr<host::MemoryPort> TypesPort() {
  auto port = host::MemoryPort::Create();
  port->Array(kInts, Xsd(u"int"));
  port->Array(kGrid, kInts);
  port->Array(kPoints, kPoint);
  port->Struct(kPoint).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"), u"urn:members");
  port->LiteralArray(kLiteralInts, Xsd(u"int"), {u"n", u""});
  port->LiteralArray(kLiteralGrid, kLiteralInts, {u"row", u"urn:rows"});
  port->Array(kAnything, Xsd(u"anyType"));
  port->Struct(kNode).Member(u"next", kNode);
  port->LiteralArray(kTokens, Xsd(u"token"), {u"t", u""});
  return port;
}

// Writes `value` of `type` encoded into a fresh element "a" and returns its
// text; "none" when the writer gives none.
std::string Encoded(TypeName type, const VARIANT& value, const std::u16string& style,
                    WriterSettings settings = {}) {
  WriterHandler setup(TypesPort(), settings);
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  XmlElement& element = root->AddChild(u"a");
  if (!writer.WriteEncoded(element, {type.name, type.ns}, value, style)) return "none";
  return TextOf(element);
}

std::string Literal(TypeName type, const VARIANT& value, WriterSettings settings = {}) {
  WriterHandler setup(TypesPort(), settings);
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  if (!writer.WriteLiteral(*root, u"a", u"", {type.name, type.ns}, value)) return "none";
  return TextOf(root->Children().front());
}

// The message of the fault that writing raises, or "no fault".
template <typename Write>
std::u16string RaisedBy(Write write) {
  try {
    write();
  } catch (QXSOAPFault* raised) {
    const std::unique_ptr<QXSOAPFault> fault(raised);
    EXPECT_EQ(fault->kind, FaultKind::kReceiver);
    EXPECT_TRUE(fault->needDetail);
    return fault->message;
  }
  return u"no fault";
}

std::vector<qxcom::Variant> Longs(int count) {
  std::vector<qxcom::Variant> values;
  for (int i = 0; i < count; ++i) values.push_back(test::LongVariant(i));
  return values;
}

TEST(EncodedArrays, DeclareStoredSizesAndOffsetsInTheFormOfTheirStyle) {
  const auto v = Longs(6);
  // Declared 2 x 3, so stored 3, 2; the first declared dimension runs
  // fastest in storage and so in the message.
  const qxcom::Variant grid = VariantArray({{2, 0}, {3, 0}}, {v[0].get(), v[1].get(), v[2].get(),
                                                              v[3].get(), v[4].get(), v[5].get()});
  const std::string items =
      "<item>0</item><item>1</item><item>2</item><item>3</item><item>4</item><item>5</item>";
  EXPECT_EQ(Encoded(kInts, *grid.get(), kEnc11),
            "<a SOAP-ENC:arrayType=\"nsa:int[3,2]\" SOAP-ENC:offset=\"[0,0]\" "
            "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\">" + items + "</a>");
  EXPECT_EQ(Encoded(kInts, *grid.get(), kEnc12),
            "<a SOAP-ENC:arraySize=\"3 2\" SOAP-ENC:itemType=\"nsa:int\" "
            "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\">" + items + "</a>");

  const qxcom::Variant fromOne = VariantArray({{4, 1}}, {v[0].get(), v[1].get(), v[2].get(), v[3].get()});
  const std::string text = Encoded(kInts, *fromOne.get(), kEnc11);
  EXPECT_NE(text.find("SOAP-ENC:arrayType=\"nsa:int[5]\" SOAP-ENC:offset=\"[1]\""), std::string::npos)
      << text;

  const qxcom::Variant empty = VariantArray({{0, 0}}, {});
  EXPECT_EQ(Encoded(kInts, *empty.get(), kEnc12, {.explicitTyping = true, .nodeType = true, .version = 12}),
            "<a xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arraySize=\"0\" SOAP-ENC:itemType=\"nsa:int\" "
            "SOAP-ENC:nodeType=\"array\" xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" />");
}

TEST(EncodedArrays, OfArraysDeclareTheirOwnItemTypeOnEveryInnerItem) {
  const auto v = Longs(3);
  const qxcom::Variant first = VariantArray({{2, 0}}, {v[0].get(), v[1].get()});
  const qxcom::Variant second = VariantArray({{1, 0}}, {v[2].get()});
  const qxcom::Variant outer = VariantArray({{2, 0}}, {first.get(), second.get()});
  // The parent's SOAP-ENC binding serves the inner items; nsa is rebound.
  EXPECT_EQ(Encoded(kGrid, *outer.get(), kEnc11),
            "<a SOAP-ENC:arrayType=\"nsa:ArrayOfint[2]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" xmlns:nsa=\"urn:t\">"
            "<item SOAP-ENC:arrayType=\"nsa:int[2]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\"><item>0</item><item>1</item></item>"
            "<item SOAP-ENC:arrayType=\"nsa:int[1]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\"><item>2</item></item></a>");
}

TEST(EncodedStructs, PrefixMembersInANamespaceAndTypeTheStruct) {
  const qxcom::Variant x = test::LongVariant(1), y = test::LongVariant(2);
  const qxcom::Variant point = StructVariant({{u"x", u"", *x.get()}, {u"y", u"urn:members", *y.get()}});
  EXPECT_EQ(Encoded(kPoint, *point.get(), kEnc11), "<a><x>1</x><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y></a>");
  EXPECT_EQ(Encoded(kPoint, *point.get(), kEnc12, {.explicitTyping = true, .nodeType = true, .version = 12}),
            "<a xsi:type=\"nss:Point\" SOAP-ENC:nodeType=\"struct\" "
            "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" xmlns:nss=\"urn:t\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<x xsi:type=\"ns:int\" SOAP-ENC:nodeType=\"simple\" "
            "xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">1</x>"
            "<nsm:y xsi:type=\"ns:int\" SOAP-ENC:nodeType=\"simple\" "
            "xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" xmlns:nsm=\"urn:members\">2</nsm:y></a>");
}

// A struct object of another implementation: each member it hands out is a
// fresh copy, which the writer frees once the member is written.
class CopyingStruct final : public test::DispatchStub<StructObject> {
 public:
  explicit CopyingStruct(std::vector<std::pair<std::u16string, std::u16string>> texts)
      : texts_(std::move(texts)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_StructObject) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<StructObject*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE AddMember(BSTR, BSTR, VARIANT, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FirstMember(BSTR* name, BSTR* ns, VARIANT* value, LONG* position,
                                        VARIANT_BOOL* present) override {
    next_ = 0;
    return NextMember(name, ns, value, position, present);
  }
  HRESULT STDMETHODCALLTYPE NextMember(BSTR* name, BSTR* ns, VARIANT* value, LONG* position,
                                       VARIANT_BOOL* present) override {
    *present = next_ < texts_.size() ? VARIANT_TRUE : VARIANT_FALSE;
    if (!*present) return S_OK;
    const auto& [memberName, text] = texts_[next_];
    *name = SysAllocString(memberName.c_str());
    *ns = SysAllocString(u"");
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = SysAllocString(text.c_str());
    *position = LONG(next_++);
    return S_OK;
  }

 private:
  std::vector<std::pair<std::u16string, std::u16string>> texts_;
  size_t next_ = 0;
  ULONG references_ = 1;
};

// The handler's own strings may be lent to the tree, but a member handed
// out as a copy is gone once written: its text must be the tree's own.
TEST(EncodedStructs, KeepTheTextOfMembersHandedOutAsCopies) {
  const TypeName kLabel{u"Label", u"urn:t"};
  WriterHandler setup(TypesPort(), {});
  setup.port->Struct(kLabel).Member(u"first", Xsd(u"string")).Member(u"second", Xsd(u"string"));
  qxcom::Variant label;
  V_VT(label.get()) = VT_DISPATCH;
  V_DISPATCH(label.get()) = new CopyingStruct({{u"first", u"first text, long enough for the heap"},
                                               {u"second", u"second text, as long as the first"}});
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  XmlElement& element = root->AddChild(u"a");
  ASSERT_TRUE(writer.WriteEncoded(element, {kLabel.name, kLabel.ns}, *label.get(), kEnc11));
  // Strings made and freed after the writer's copies would show through a
  // text that still pointed at them.
  for (int i = 0; i < 8; ++i) qxcom::Bstr(SysAllocString(u"overwritten overwritten overwritten"));
  EXPECT_EQ(TextOf(element),
            "<a><first>first text, long enough for the heap</first>"
            "<second>second text, as long as the first</second></a>");
}

TEST(EncodedStructs, GiveNoneForValuesThatAreNoStructOrMembersThePortDoesNotDescribe) {
  const qxcom::Variant z = test::LongVariant(3);
  const qxcom::Variant unknownMember = StructVariant({{u"z", u"", *z.get()}});
  EXPECT_EQ(Encoded(kPoint, *unknownMember.get(), kEnc11), "none");
  EXPECT_EQ(Encoded(kPoint, *z.get(), kEnc11), "none");
  EXPECT_EQ(Encoded(kInts, *z.get(), kEnc11), "none") << "an array type needs an array";
}

TEST(EncodedArrays, OfStructsWriteEachStructAsAnItem) {
  const qxcom::Variant x = test::LongVariant(1), y = test::LongVariant(2);
  const qxcom::Variant point = StructVariant({{u"x", u"", *x.get()}, {u"y", u"urn:members", *y.get()}});
  const qxcom::Variant points = VariantArray({{2, 0}}, {point.get(), point.get()});
  const std::string item = "<item><x>1</x><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y></item>";
  EXPECT_EQ(Encoded(kPoints, *points.get(), kEnc11),
            "<a SOAP-ENC:arrayType=\"nsa:Point[2]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" xmlns:nsa=\"urn:t\">" +
                item + item + "</a>");
}

// Items after the first are copies of the last item of their VARTYPE: an
// anyType item of another VARTYPE carries its own type.
TEST(EncodedArrays, TypeAnyTypeItemsEachByTheirOwnVartype) {
  const qxcom::Variant one = test::LongVariant(1), half = test::DoubleVariant(0.5), three = test::LongVariant(3);
  const qxcom::Variant mixed = VariantArray({{3, 0}}, {one.get(), half.get(), three.get()});
  const std::string text = Encoded(kAnything, *mixed.get(), kEnc11);
  const std::string typed = " xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
                            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
  EXPECT_NE(text.find("<item xsi:type=\"ns:int\"" + typed + "1</item><item xsi:type=\"ns:double\"" +
                      typed + "0.5</item><item xsi:type=\"ns:int\"" + typed + "3</item>"),
            std::string::npos)
      << text;
}

// Members are copied from the member at the same position of the first
// struct only when they have its name.
TEST(EncodedArrays, OfStructsWithMembersInAnotherOrderNameEachMember) {
  const qxcom::Variant x = test::LongVariant(1), y = test::LongVariant(2);
  const qxcom::Variant xy = StructVariant({{u"x", u"", *x.get()}, {u"y", u"urn:members", *y.get()}});
  const qxcom::Variant yx = StructVariant({{u"y", u"urn:members", *y.get()}, {u"x", u"", *x.get()}});
  const qxcom::Variant points = VariantArray({{2, 0}}, {xy.get(), yx.get()});
  const std::string text = Encoded(kPoints, *points.get(), kEnc11);
  EXPECT_NE(text.find("<item><x>1</x><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y></item>"
                      "<item><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y><x>1</x></item>"),
            std::string::npos)
      << text;
}

// Arrays whose elements are not VARIANTs are read element by element as
// the VARIANT of their type.
TEST(EncodedArrays, ReadArraysOfOtherElementTypesItemByItem) {
  SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 0, 2);
  LONG index = 0;
  const qxcom::Bstr first(SysAllocString(u"a&b")), second(SysAllocString(u""));
  SafeArrayPutElement(strings, &index, first.get());
  index = 1;
  SafeArrayPutElement(strings, &index, second.get());
  const qxcom::Variant value = test::ArrayVariant(VT_BSTR, strings);
  const std::string text = Encoded({u"ArrayOfstring", u"urn:t"}, *value.get(), kEnc11);
  EXPECT_EQ(text, "none") << "the port does not describe ArrayOfstring";
  WriterHandler setup(TypesPort(), {});
  setup.port->Array({u"ArrayOfstring", u"urn:t"}, Xsd(u"string"));
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  ASSERT_TRUE(writer.WriteEncoded(root->AddChild(u"a"), {u"ArrayOfstring", u"urn:t"}, *value.get(), kEnc12));
  EXPECT_EQ(TextOf(root->Children().front()),
            "<a SOAP-ENC:arraySize=\"2\" SOAP-ENC:itemType=\"nsa:string\" "
            "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\"><item>a&amp;b</item><item /></a>");
}

TEST(LiteralArrays, NameItemsByTheirElementAndTypeTheArray) {
  const auto v = Longs(2);
  const qxcom::Variant list = VariantArray({{2, 0}}, {v[0].get(), v[1].get()});
  EXPECT_EQ(Literal(kLiteralInts, *list.get()), "<a><n>0</n><n>1</n></a>");
  const qxcom::Variant grid = VariantArray({{2, 0}}, {list.get(), list.get()});
  EXPECT_EQ(Literal(kLiteralGrid, *grid.get(), {.explicitTyping = true}),
            "<a xsi:type=\"ns:IntGrid\" xmlns:ns=\"urn:t\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<nsa:row xsi:type=\"ns:IntList\" xmlns:nsa=\"urn:rows\">"
            "<n xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">0</n>"
            "<n xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">1</n></nsa:row>"
            "<nsa:row xsi:type=\"ns:IntList\" xmlns:nsa=\"urn:rows\">"
            "<n xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">0</n>"
            "<n xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">1</n></nsa:row></a>");
}

// A literal struct named in a namespace has bound nss to it; its type then
// goes under ns so that xsi:type still names the type.
TEST(LiteralStructs, KeepTheirTypeApartFromTheirElementNamespace) {
  WriterHandler setup(TypesPort(), {.explicitTyping = true});
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  const qxcom::Variant x = test::LongVariant(1), y = test::LongVariant(2);
  const qxcom::Variant point = StructVariant({{u"x", u"", *x.get()}, {u"y", u"urn:members", *y.get()}});
  ASSERT_TRUE(writer.WriteLiteral(*root, u"p", u"urn:e", {kPoint.name, kPoint.ns}, *point.get()));
  EXPECT_EQ(TextOf(root->Children().front()),
            "<nss:p xsi:type=\"ns:Point\" xmlns:ns=\"urn:t\" xmlns:nss=\"urn:e\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<x xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">1</x>"
            "<nsb:y xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:nsb=\"urn:members\">2</nsb:y></nss:p>");
}

TEST(CompoundValues, RaiseTheFaultOfTheItemThatCannotBeWritten) {
  const auto v = Longs(4);
  const qxcom::Variant cy = test::CurrencyVariant(1);
  const qxcom::Variant notStruct = test::LongVariant(0);
  qxcom::Variant dispatchWithoutStruct;
  V_VT(dispatchWithoutStruct.get()) = VT_DISPATCH;
  V_DISPATCH(dispatchWithoutStruct.get()) = nullptr;
  const qxcom::Variant square = VariantArray({{2, 0}, {2, 0}}, {v[0].get(), v[1].get(), v[2].get(), v[3].get()});
  const qxcom::Variant deep = NestedStructs(300);
  const qxcom::Variant oddItem = VariantArray({{1, 0}}, {cy.get()});
  const qxcom::Variant badStructItem = VariantArray({{1, 0}}, {dispatchWithoutStruct.get()});
  const qxcom::Variant nestedWithoutType = VariantArray({{1, 0}}, {oddItem.get()});
  struct Case {
    const char* why;
    std::function<void()> write;
    std::u16string message;
  };
  const Case cases[] = {
      {"a currency item has no form under anyType",
       [&] { Encoded(kAnything, *oddItem.get(), kEnc11); },
       u"Error while serializing 'array' parameter."},
      {"a VT_DISPATCH item that is no struct",
       [&] { Encoded(kPoints, *badStructItem.get(), kEnc11); },
       u"Error while serializing 'array of struct' parameter."},
      {"a nested array whose item type has no item type",
       [&] { Encoded(kInts, *nestedWithoutType.get(), kEnc11); },
       u"Error while serializing 'array of array' parameter."},
      {"a literal array has one dimension", [&] { Literal(kLiteralInts, *square.get()); },
       u"Error while serializing literal array parameter."},
      {"a literal struct item that cannot be written",
       [&] { Literal(kLiteralInts, *badStructItem.get()); },
       u"Error while serializing 'array of struct' literal parameter."},
      {"a literal simple item the type table does not know",
       [&] { Literal(kTokens, *oddItem.get()); },
       u"Error while serializing 'array of simple type' literal parameter."},
      {"structs nested past the element depth a reader takes",
       [&] { Encoded(kNode, *deep.get(), kEnc11); },
       u"A value refers to itself or is nested too deeply."},
  };
  for (const Case& c : cases) EXPECT_EQ(Narrow(RaisedBy(c.write)), Narrow(c.message)) << c.why;
}

}  // namespace
}  // namespace qxsoap::testing
