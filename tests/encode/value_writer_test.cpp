// The value writers, encoded and literal: simple values with their typing
// attributes, prefixes and declarations, nil values, anyType values typed
// by their VARTYPE, node types and attachments; arrays with the bounds they
// declare in both forms, item order and nested arrays; structs and their
// member prefixes; and the faults of values that cannot be written.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <set>
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
constexpr WriterSettings kPlain{}, kTyped{.explicitTyping = true},
    kTyped12{.explicitTyping = true, .nodeType = true, .version = 12};
const std::string kXsiNs = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
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

struct SimpleRow {
  const char* why;
  WriterSettings settings;
  TypeName type;
  qxcom::Variant value;
  std::string written;  // "none": the writer gives none
  std::u16string_view style = kEnc11;
};

TEST(EncodedSimpleValues, WriteTheirTextAndTyping) {
  const SimpleRow rows[] = {
      {"explicit typing binds ns to the type's namespace and xsi to its year", kTyped, Xsd(u"int"),
       test::LongVariant(42),
       "<a xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" " + kXsiNs + ">42</a>"},
      {"a null value under a 1999 type is xsi:null", kTyped, {u"int", std::u16string(XSD1999_NS)},
       test::NullVariant(), "<a xsi:null=\"1\" xmlns:xsi=\"http://www.w3.org/1999/XMLSchema-instance\" />"},
      {"a null value under a 2001 type is xsi:nil and carries no type", kTyped, Xsd(u"string"),
       test::NullVariant(), "<a xsi:nil=\"true\" " + kXsiNs + " />"},
      {"an anyType value names its type even without explicit typing", kPlain, Xsd(u"anyType"),
       test::DoubleVariant(2.5),
       "<a xsi:type=\"ns:double\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" " + kXsiNs + ">2.5</a>"},
      {"a date under the 1999 ur-type is a timeInstant", kPlain, {u"ur-type", std::u16string(XSD1999_NS)},
       test::DateVariant(36526.5),
       "<a xsi:type=\"ns:timeInstant\" xmlns:ns=\"http://www.w3.org/1999/XMLSchema\" "
       "xmlns:xsi=\"http://www.w3.org/1999/XMLSchema-instance\">2000-01-01T12:00:00Z</a>"},
      {"anyType has no form for a currency value", kTyped, Xsd(u"anyType"), test::CurrencyVariant(10000),
       "none"},
      {"a type the table does not know gives none", kTyped, Xsd(u"token"), test::BstrVariant(u"x"), "none"},
      {"a SOAP-ENC type takes the 2001 schema instance", kTyped, {u"string", std::u16string(kEnc11)},
       test::BstrVariant(u"a<b&c"),
       "<a xsi:type=\"ns:string\" xmlns:ns=\"http://schemas.xmlsoap.org/soap/encoding/\" " + kXsiNs +
           ">a&lt;b&amp;c</a>"},
      {"SOAP 1.2 node types alone add only nodeType", {.nodeType = true, .version = 12}, Xsd(u"string"),
       test::BstrVariant(u"abc"),
       "<a SOAP-ENC:nodeType=\"simple\" xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\">abc</a>",
       SOAP12_ENC_NS},
      {"SOAP 1.1 writes no node type", {.nodeType = true}, Xsd(u"boolean"), test::BoolVariant(true), "<a>1</a>"},
  };
  for (const SimpleRow& row : rows) {
    EXPECT_EQ(Written(host::MemoryPort::Create(), row.settings, row.type, *row.value.get(), row.style),
              row.written)
        << row.why;
  }
}

TEST(LiteralSimpleValues, PrefixTheirNamespaceAndNeverCarryNodeTypes) {
  constexpr WriterSettings kAll{.explicitTyping = true, .nodeType = true, .version = 12};
  const qxcom::Variant value = test::LongVariant(5);
  EXPECT_EQ(Written(host::MemoryPort::Create(), kAll, Xsd(u"int"), *value.get(), u"", u"count", u"urn:e"),
            "<nsb:count xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:nsb=\"urn:e\" " + kXsiNs + ">5</nsb:count>");
  EXPECT_EQ(Written(host::MemoryPort::Create(), kAll, Xsd(u"int"), *value.get(), u"", u"plain"),
            "<plain xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" " + kXsiNs + ">5</plain>");
}

// An object value is an attachment: referred to by a fresh uuid (a GUID's
// upper-case hex digits) and filed in the attachment list of the phase,
// with type-name format 3.
TEST(Attachments, AreReferredToByUuidAndFiledInThePhaseList) {
  const std::regex uuid("uuid:[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  std::set<std::string> ids;
  for (const bool request : {false, true}) {
    // SOAP 1.1 encoding refers by href, SOAP 1.2 encoding by SOAP-ENC:ref.
    const char* attribute = request ? "SOAP-ENC:ref=\"uuid:" : "href=\"uuid:";
    WriterHandler setup(host::MemoryPort::Create(), {.requestPhase = request});
    ValueWriter writer(setup.handler, *setup.port.get());
    auto root = XmlElement::NewTree(u"w");
    XmlElement& element = root->AddChild(u"file");
    const qxcom::ComPtr<IStorage> storage = test::NewStorage();
    qxcom::Variant value;
    V_VT(value.get()) = VT_UNKNOWN;
    V_UNKNOWN(value.get()) = storage.get();
    ASSERT_TRUE(writer.WriteEncoded(element, {u"base64Binary", XSD2001_NS}, *value.get(),
                                    request ? SOAP12_ENC_NS : SOAP11_ENC_NS));
    V_VT(value.get()) = VT_EMPTY;  // borrowed

    const std::string text = TextOf(element);
    const size_t at = text.find(attribute);
    ASSERT_NE(at, std::string::npos) << text;
    const size_t idStart = text.find("uuid:", at);
    const std::string id = text.substr(idStart, text.find('"', idStart) - idStart);
    EXPECT_TRUE(std::regex_match(id, uuid)) << id;
    EXPECT_TRUE(ids.insert(id).second) << "an identifier came twice";
    EXPECT_EQ(text.find("xsi:type"), std::string::npos);

    const MessageHandler& handler = setup.handler;
    EXPECT_EQ(handler.GetNumReqAttachments(), request ? 1 : 0);
    EXPECT_EQ(handler.GetNumRespAttachments(), request ? 0 : 1);
    LONG position = 0;
    const DimeAttachment* filed =
        request ? handler.GetFirstDIMEAttachmentReq(position) : handler.GetFirstDIMEAttachmentResp(position);
    ASSERT_NE(filed, nullptr);
    EXPECT_EQ(filed->tnf, 3);
    EXPECT_EQ(Narrow(filed->WideId()), id);
  }
}

}  // namespace
}  // namespace qxsoap::testing
