// Arrays and structs: the bounds an encoded array declares in both forms,
// item order, nested arrays, struct members and their prefixes, literal
// arrays and structs, and the faults of items that cannot be written.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "encode/value_writer.h"
#include "model/fault_record.h"
#include "qxsoap/struct_object.h"
#include "serializer_test_support.h"
#include "support/com_objects.h"
#include "support/dispatch_stub.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

const TypeName kInts{u"ArrayOfint", u"urn:t"}, kGrid{u"ArrayOfArrayOfint", u"urn:t"}, kPoint{u"Point", u"urn:t"},
    kPoints{u"ArrayOfPoint", u"urn:t"}, kLiteralInts{u"IntList", u"urn:t"}, kLiteralGrid{u"IntGrid", u"urn:t"},
    kAnything{u"ArrayOfanyType", u"urn:t"}, kNode{u"Node", u"urn:t"}, kTokens{u"TokenList", u"urn:t"},
    kStrings{u"ArrayOfstring", u"urn:t"}, kLabel{u"Label", u"urn:t"};
constexpr std::u16string_view kEnc11 = SOAP11_ENC_NS, kEnc12 = SOAP12_ENC_NS, kLiteral = u"";
constexpr WriterSettings kTyped12{.explicitTyping = true, .nodeType = true, .version = 12};
const std::string kXsdInt = "<n xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">";

qxcom::ComPtr<host::MemoryPort> TypesPort() {
  auto port = host::MemoryPort::Create();
  port->Array(kInts, Xsd(u"int"));
  port->Array(kGrid, kInts);
  port->Array(kPoints, kPoint);
  port->Array(kStrings, Xsd(u"string"));
  port->Struct(kPoint).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"), u"urn:members");
  port->Struct(kLabel).Member(u"first", Xsd(u"string")).Member(u"second", Xsd(u"string"));
  port->LiteralArray(kLiteralInts, Xsd(u"int"), {u"n", u""});
  port->LiteralArray(kLiteralGrid, kLiteralInts, {u"row", u"urn:rows"});
  port->Array(kAnything, Xsd(u"anyType"));
  port->Struct(kNode).Member(u"next", kNode);
  port->LiteralArray(kTokens, Xsd(u"token"), {u"t", u""});
  return port;
}

std::string Write(TypeName type, const VARIANT& value, std::u16string_view style, WriterSettings settings = {}) {
  return Written(TypesPort(), settings, type, value, style);
}

struct Values {
  qxcom::Variant v[6] = {test::LongVariant(0), test::LongVariant(1), test::LongVariant(2),
                         test::LongVariant(3), test::LongVariant(4), test::LongVariant(5)};
  qxcom::Variant point = StructVariant({{u"x", u"", *v[1].get()}, {u"y", u"urn:members", *v[2].get()}});
};

TEST(EncodedArrays, DeclareStoredSizesAndOffsetsInTheFormOfTheirStyle) {
  const Values c;
  // Declared 2 x 3, so stored 3, 2; the first declared dimension runs
  // fastest in storage and so in the message.
  const qxcom::Variant grid = VariantArray({{2, 0}, {3, 0}}, {c.v[0].get(), c.v[1].get(), c.v[2].get(),
                                                              c.v[3].get(), c.v[4].get(), c.v[5].get()});
  const std::string items =
      "<item>0</item><item>1</item><item>2</item><item>3</item><item>4</item><item>5</item>";
  EXPECT_EQ(Write(kInts, *grid.get(), kEnc11),
            "<a SOAP-ENC:arrayType=\"nsa:int[3,2]\" SOAP-ENC:offset=\"[0,0]\" "
            "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\">" + items + "</a>");
  EXPECT_EQ(Write(kInts, *grid.get(), kEnc12),
            "<a SOAP-ENC:arraySize=\"3 2\" SOAP-ENC:itemType=\"nsa:int\" "
            "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\">" + items + "</a>");

  const qxcom::Variant fromOne = VariantArray({{2, 1}}, {c.v[0].get(), c.v[1].get()});
  const std::string text = Write(kInts, *fromOne.get(), kEnc11);
  EXPECT_NE(text.find("SOAP-ENC:arrayType=\"nsa:int[3]\" SOAP-ENC:offset=\"[1]\""), std::string::npos) << text;

  const qxcom::Variant empty = VariantArray({{0, 0}}, {});
  EXPECT_EQ(Write(kInts, *empty.get(), kEnc12, kTyped12),
            "<a xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arraySize=\"0\" SOAP-ENC:itemType=\"nsa:int\" "
            "SOAP-ENC:nodeType=\"array\" xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" />");
}

TEST(EncodedArrays, OfArraysDeclareTheirOwnItemTypeOnEveryInnerItem) {
  const Values c;
  const qxcom::Variant first = VariantArray({{2, 0}}, {c.v[0].get(), c.v[1].get()});
  const qxcom::Variant second = VariantArray({{1, 0}}, {c.v[2].get()});
  const qxcom::Variant outer = VariantArray({{2, 0}}, {first.get(), second.get()});
  // The parent's SOAP-ENC binding serves the inner items; nsa is rebound.
  EXPECT_EQ(Write(kGrid, *outer.get(), kEnc11),
            "<a SOAP-ENC:arrayType=\"nsa:ArrayOfint[2]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" xmlns:nsa=\"urn:t\">"
            "<item SOAP-ENC:arrayType=\"nsa:int[2]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\"><item>0</item><item>1</item></item>"
            "<item SOAP-ENC:arrayType=\"nsa:int[1]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\"><item>2</item></item></a>");
}

// Items after the first are written as copies of the first of their kind:
// a struct item's members only while they have the first struct's names in
// its order, an anyType item's type only while it has the same VARTYPE.
TEST(EncodedArrays, WriteEachItemAfterTheFirstAsItsOwn) {
  const Values c;
  const qxcom::Variant yx = StructVariant({{u"y", u"urn:members", *c.v[2].get()}, {u"x", u"", *c.v[1].get()}});
  const qxcom::Variant points = VariantArray({{2, 0}}, {c.point.get(), yx.get()});
  EXPECT_EQ(Write(kPoints, *points.get(), kEnc11),
            "<a SOAP-ENC:arrayType=\"nsa:Point[2]\" SOAP-ENC:offset=\"[0]\" "
            "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" xmlns:nsa=\"urn:t\">"
            "<item><x>1</x><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y></item>"
            "<item><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y><x>1</x></item></a>");

  const qxcom::Variant half = test::DoubleVariant(0.5);
  const qxcom::Variant mixed = VariantArray({{3, 0}}, {c.v[1].get(), half.get(), c.v[3].get()});
  const std::string text = Write(kAnything, *mixed.get(), kEnc11);
  const std::string typed = " xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
                            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
  EXPECT_NE(text.find("<item xsi:type=\"ns:int\"" + typed + "1</item><item xsi:type=\"ns:double\"" +
                      typed + "0.5</item><item xsi:type=\"ns:int\"" + typed + "3</item>"),
            std::string::npos)
      << text;
}

// Arrays whose elements are not VARIANTs are read element by element as
// the VARIANT of their type.
TEST(EncodedArrays, ReadArraysOfOtherElementTypesItemByItem) {
  SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 0, 2);
  const qxcom::Bstr first(SysAllocString(u"a&b")), second(SysAllocString(u""));
  for (LONG index : {0, 1}) SafeArrayPutElement(strings, &index, index == 0 ? first.get() : second.get());
  const qxcom::Variant value = test::ArrayVariant(VT_BSTR, strings);
  EXPECT_EQ(Write(kStrings, *value.get(), kEnc12),
            "<a SOAP-ENC:arraySize=\"2\" SOAP-ENC:itemType=\"nsa:string\" "
            "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
            "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\"><item>a&amp;b</item><item /></a>");
}

TEST(EncodedStructs, PrefixMembersInANamespaceAndTypeTheStruct) {
  const Values c;
  EXPECT_EQ(Write(kPoint, *c.point.get(), kEnc11), "<a><x>1</x><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y></a>");
  EXPECT_EQ(Write(kPoint, *c.point.get(), kEnc12, kTyped12),
            "<a xsi:type=\"nss:Point\" SOAP-ENC:nodeType=\"struct\" "
            "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" xmlns:nss=\"urn:t\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<x xsi:type=\"ns:int\" SOAP-ENC:nodeType=\"simple\" "
            "xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">1</x>"
            "<nsm:y xsi:type=\"ns:int\" SOAP-ENC:nodeType=\"simple\" "
            "xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" xmlns:nsm=\"urn:members\">2</nsm:y></a>");
}

TEST(EncodedValues, GiveNoneForWhatThePortDoesNotDescribe) {
  const Values c;
  const qxcom::Variant unknownMember = StructVariant({{u"z", u"", *c.v[3].get()}});
  EXPECT_EQ(Write(kPoint, *unknownMember.get(), kEnc11), "none") << "a member the struct type lacks";
  EXPECT_EQ(Write(kPoint, *c.v[3].get(), kEnc11), "none") << "a struct type needs a struct";
  EXPECT_EQ(Write(kInts, *c.v[3].get(), kEnc11), "none") << "an array type needs an array";
  EXPECT_EQ(Write({u"Unknown", u"urn:t"}, *c.v[3].get(), kEnc11), "none") << "an undescribed type";
}

// A struct object of another implementation, handing out a fresh copy of
// each member of the module's struct object it wraps; the writer frees
// each copy once the member is written.
class ForeignStruct final : public test::DispatchStub<StructObject> {
 public:
  explicit ForeignStruct(const VARIANT& own) {
    EXPECT_EQ(V_DISPATCH(&own)->QueryInterface(IID_StructObject, reinterpret_cast<void**>(own_.put())), S_OK);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_StructObject ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
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
  HRESULT STDMETHODCALLTYPE FirstMember(BSTR* name, BSTR* ns, VARIANT* value, LONG* at, VARIANT_BOOL* is) override {
    return own_->FirstMember(name, ns, value, at, is);
  }
  HRESULT STDMETHODCALLTYPE NextMember(BSTR* name, BSTR* ns, VARIANT* value, LONG* at, VARIANT_BOOL* is) override {
    return own_->NextMember(name, ns, value, at, is);
  }

 private:
  qxcom::ComPtr<StructObject> own_;
  ULONG references_ = 1;
};

// The handler's own strings may be lent to the tree, but a member handed
// out as a copy is gone once written: its text must be the tree's own.
TEST(EncodedStructs, KeepTheTextOfMembersHandedOutAsCopies) {
  const qxcom::Variant first = test::BstrVariant(u"first text, long enough for the heap"),
                       second = test::BstrVariant(u"second text, as long as the first");
  const qxcom::Variant own = StructVariant({{u"first", u"", *first.get()}, {u"second", u"", *second.get()}});
  WriterHandler setup(TypesPort(), {});
  qxcom::Variant label;
  V_VT(label.get()) = VT_DISPATCH;
  V_DISPATCH(label.get()) = new ForeignStruct(*own.get());
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

TEST(LiteralValues, NameItemsByTheirElementAndKeepTypeApartFromElementNamespace) {
  const Values c;
  const qxcom::Variant list = VariantArray({{2, 0}}, {c.v[0].get(), c.v[1].get()});
  EXPECT_EQ(Write(kLiteralInts, *list.get(), kLiteral), "<a><n>0</n><n>1</n></a>");
  const qxcom::Variant one = VariantArray({{1, 0}}, {c.v[0].get()});
  const qxcom::Variant grid = VariantArray({{1, 0}}, {one.get()});
  EXPECT_EQ(Write(kLiteralGrid, *grid.get(), kLiteral, {.explicitTyping = true}),
            "<a xsi:type=\"ns:IntGrid\" xmlns:ns=\"urn:t\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<nsa:row xsi:type=\"ns:IntList\" xmlns:nsa=\"urn:rows\">" + kXsdInt + "0</n></nsa:row></a>");
  // A struct named in a namespace has bound nss to it; its type then goes
  // under ns so that xsi:type still names the type.
  EXPECT_EQ(Written(TypesPort(), {.explicitTyping = true}, kPoint, *c.point.get(), kLiteral, u"p", u"urn:e"),
            "<nss:p xsi:type=\"ns:Point\" xmlns:ns=\"urn:t\" xmlns:nss=\"urn:e\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
            "<x xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\">1</x>"
            "<nsb:y xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:nsb=\"urn:members\">2</nsb:y></nss:p>");
}

TEST(Values, RaiseTheFaultOfWhatCannotBeWritten) {
  const Values c;
  // A literal value has no attachment form: an object goes through the
  // conversion to text like any value, and that fails.
  qxcom::Variant object;
  V_VT(object.get()) = VT_UNKNOWN;
  V_UNKNOWN(object.get()) = test::NewStorage().release();
  const qxcom::Variant cy = test::CurrencyVariant(1);
  qxcom::Variant noStruct;
  V_VT(noStruct.get()) = VT_DISPATCH;
  V_DISPATCH(noStruct.get()) = nullptr;
  const qxcom::Variant square =
      VariantArray({{2, 0}, {2, 0}}, {c.v[0].get(), c.v[1].get(), c.v[2].get(), c.v[3].get()});
  qxcom::Variant deep = StructVariant({});
  for (int level = 1; level < 300; ++level) deep = StructVariant({{u"next", u"", *deep.get()}});
  const qxcom::Variant oddItem = VariantArray({{1, 0}}, {cy.get()});
  const qxcom::Variant badStructItem = VariantArray({{1, 0}}, {noStruct.get()});
  const qxcom::Variant nestedWithoutType = VariantArray({{1, 0}}, {oddItem.get()});
  const struct {
    TypeName type;
    const VARIANT& value;
    std::u16string_view style;
    const char* message;
  } cases[] = {
      {kAnything, *oddItem.get(), kEnc11, "Error while serializing 'array' parameter."},
      {kPoints, *badStructItem.get(), kEnc11, "Error while serializing 'array of struct' parameter."},
      {kInts, *nestedWithoutType.get(), kEnc11, "Error while serializing 'array of array' parameter."},
      {kLiteralInts, *square.get(), kLiteral, "Error while serializing literal array parameter."},
      {kLiteralInts, *badStructItem.get(), kLiteral, "Error while serializing 'array of struct' literal parameter."},
      {kTokens, *oddItem.get(), kLiteral, "Error while serializing 'array of simple type' literal parameter."},
      {kNode, *deep.get(), kEnc11, "A value refers to itself or is nested too deeply."},
      {Xsd(u"string"), *object.get(), kLiteral, "A value could not be converted to text (HRESULT 0x80020005)."},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.message);
    try {
      Write(row.type, row.value, row.style);
      ADD_FAILURE() << "no fault";
    } catch (QXSOAPFault* raised) {
      const std::unique_ptr<QXSOAPFault> fault(raised);
      EXPECT_EQ(fault->kind, FaultKind::kReceiver);
      EXPECT_TRUE(fault->needDetail);
      EXPECT_EQ(Narrow(fault->message), row.message);
    }
  }
}

}  // namespace
}  // namespace qxsoap::testing
