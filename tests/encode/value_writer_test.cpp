// The value writers, encoded and literal, element by element: simple values,
// arrays and structs with their typing, prefixes and declarations; struct
// objects of other implementations; attachments; and the faults raised.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "encode/value_writer.h"
#include "model/fault_record.h"
#include "serializer_test_support.h"
#include "support/com_objects.h"
#include "support/variants.h"
#include "support/wrapping_struct.h"
#include "xml/namespaces.h"
#include "xml/xml_writer.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

const TypeName kInts{u"ArrayOfint", u"urn:t"}, kGrid{u"ArrayOfArrayOfint", u"urn:t"}, kPoint{u"Point", u"urn:t"},
    kPoints{u"ArrayOfPoint", u"urn:t"}, kLiteralInts{u"IntList", u"urn:t"}, kLiteralGrid{u"IntGrid", u"urn:t"},
    kAnything{u"ArrayOfanyType", u"urn:t"}, kNode{u"Node", u"urn:t"}, kTokens{u"TokenList", u"urn:t"},
    kStrings{u"ArrayOfstring", u"urn:t"}, kLabel{u"Label", u"urn:t"}, kFiles{u"ArrayOfbase64Binary", u"urn:t"};
constexpr std::u16string_view kEnc11 = SOAP11_ENC_NS, kEnc12 = SOAP12_ENC_NS, kLiteral = u"";
struct WriterSettings {
  bool explicitTyping = false;
  bool nodeType = false;
  LONG version = 11;
  bool requestPhase = false;
};
constexpr WriterSettings kPlain{}, kTyped{.explicitTyping = true},
    kTyped12{.explicitTyping = true, .nodeType = true, .version = 12};
const std::string kXsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
const std::string kXsd = "xmlns:ns=\"http://www.w3.org/2001/XMLSchema\"";
const std::string kEncDecl11 = "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\"";
const std::string kEncDecl12 = "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\"";
const std::string kXsdItems = "xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\">";

qxcom::ComPtr<host::MemoryPort> TypesPort() {
  auto port = host::MemoryPort::Create();
  port->Array(kInts, Xsd(u"int"));
  port->Array(kGrid, kInts);
  port->Array(kPoints, kPoint);
  port->Array(kStrings, Xsd(u"string"));
  port->Struct(kPoint).Member(u"x", Xsd(u"int")).Member(u"y", Xsd(u"int"), u"urn:members");
  port->Struct(kLabel).Member(u"first", Xsd(u"string")).Member(u"second", Xsd(u"string")).Member(
      u"data", Xsd(u"base64Binary"));
  port->LiteralArray(kLiteralInts, Xsd(u"int"), {u"n", u""});
  port->LiteralArray(kLiteralGrid, kLiteralInts, {u"row", u"urn:rows"});
  port->Array(kAnything, Xsd(u"anyType"));
  port->Struct(kNode).Member(u"next", kNode);
  port->LiteralArray(kTokens, Xsd(u"token"), {u"t", u""});
  port->Array(kFiles, Xsd(u"base64Binary"));
  return port;
}

// `element` and its subtree as the writer gives it standing alone.
std::string TextOf(const XmlElement& element) {
  std::u16string text;
  WriteElement(element, nullptr, text);
  return Narrow(text);
}

// A handler with no engines but the value writer's settings, on `port`.
struct WriterHandler {
  WriterHandler(qxcom::ComPtr<host::MemoryPort> port, WriterSettings settings) : port(std::move(port)) {
    EXPECT_TRUE(handler.Initialize(u"svc", u"port", u"urn:node", u"", u"", settings.explicitTyping,
                                   settings.nodeType, this->port.get()));
    handler.SetSOAPVersion(settings.version);
    handler.SetRequestPhase(settings.requestPhase);
  }
  qxcom::ComPtr<host::MemoryPort> port;
  MessageHandler handler;
};

// `value` of `type` as text: encoded in `style` into an element "a", or
// literal (when `style` is empty) as the element `name` in `ns`; "none"
// when the writer gives none.
std::string Write(const TypeName& type, const VARIANT& value, std::u16string_view style, WriterSettings settings = {},
                  std::u16string_view name = u"a", std::u16string_view ns = u"") {
  WriterHandler setup(TypesPort(), settings);
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  const bool written = style.empty() ? writer.WriteLiteral(*root, name, ns, {type.name, type.ns}, value)
                                     : writer.WriteEncoded(root->AddChild(u"a"), {type.name, type.ns}, value, style);
  return written ? TextOf(root->Children().front()) : "none";
}

// Values the tests share: the numbers 0 to 5 and a Point {x 1, y 2}.
struct Values {
  qxcom::Variant v[6] = {test::LongVariant(0), test::LongVariant(1), test::LongVariant(2),
                         test::LongVariant(3), test::LongVariant(4), test::LongVariant(5)};
  qxcom::Variant point = StructVariant({{u"x", u"", *v[1].get()}, {u"y", u"urn:members", *v[2].get()}});
};

struct Row {
  const char* why;
  WriterSettings settings;
  TypeName type;
  const VARIANT& value;
  std::u16string_view style;
  std::string written;  // "none": the writer gives none
  std::u16string_view name = u"a", ns = u"";
};

TEST(ValueWriter, WritesEachFormByteForByte) {
  const Values c;
  // Declared 2 x 3, so stored 3, 2; the first declared dimension runs
  // fastest in storage and so in the message.
  const qxcom::Variant grid = VariantArray({{2, 0}, {3, 0}}, {c.v[0].get(), c.v[1].get(), c.v[2].get(),
                                                              c.v[3].get(), c.v[4].get(), c.v[5].get()});
  const std::string gridItems =
      "<item>0</item><item>1</item><item>2</item><item>3</item><item>4</item><item>5</item></a>";
  const qxcom::Variant fromOne = VariantArray({{2, 1}}, {c.v[0].get(), c.v[1].get()});
  const qxcom::Variant empty = VariantArray({{0, 0}}, {});
  const qxcom::Variant pair = VariantArray({{2, 0}}, {c.v[0].get(), c.v[1].get()}),
                       single = VariantArray({{1, 0}}, {c.v[2].get()});
  const qxcom::Variant nested = VariantArray({{2, 0}}, {pair.get(), single.get()});
  const qxcom::Variant yx = StructVariant({{u"y", u"urn:members", *c.v[2].get()}, {u"x", u"", *c.v[1].get()}});
  const qxcom::Variant points = VariantArray({{2, 0}}, {c.point.get(), yx.get()});
  const qxcom::Variant half = test::DoubleVariant(0.5);
  const qxcom::Variant mixed = VariantArray({{3, 0}}, {c.v[1].get(), half.get(), c.v[3].get()});
  SAFEARRAY* bstrs = SafeArrayCreateVector(VT_BSTR, 0, 2);
  const qxcom::Bstr first(SysAllocString(u"a&b"));
  LONG at = 0;
  SafeArrayPutElement(bstrs, &at, first.get());
  const qxcom::Variant strings = test::ArrayVariant(VT_BSTR, bstrs);
  const qxcom::Variant unknownMember = StructVariant({{u"z", u"", *c.v[3].get()}});
  const qxcom::Variant literalGrid = VariantArray({{1, 0}}, {pair.get()});
  const qxcom::Variant null = test::NullVariant(), date = test::DateVariant(36526.5),
                       money = test::CurrencyVariant(10000), markup = test::BstrVariant(u"a<b&c"),
                       text = test::BstrVariant(u"abc"), flag = test::BoolVariant(true);
  const std::string anyTyped = " " + kXsd + " " + kXsi + ">";
  const Row rows[] = {
      {"SOAP 1.1 arrays declare stored sizes and offsets", kPlain, kInts, *grid.get(), kEnc11,
       "<a SOAP-ENC:arrayType=\"nsa:int[3,2]\" SOAP-ENC:offset=\"[0,0]\" " + kEncDecl11 + " " + kXsdItems +
           gridItems},
      {"SOAP 1.2 arrays declare stored sizes and the item type", kPlain, kInts, *grid.get(), kEnc12,
       "<a SOAP-ENC:arraySize=\"3 2\" SOAP-ENC:itemType=\"nsa:int\" " + kEncDecl12 + " " + kXsdItems + gridItems},
      {"a lower bound is the offset, and counts in the size", kPlain, kInts, *fromOne.get(), kEnc11,
       "<a SOAP-ENC:arrayType=\"nsa:int[3]\" SOAP-ENC:offset=\"[1]\" " + kEncDecl11 + " " + kXsdItems +
           "<item>0</item><item>1</item></a>"},
      {"an empty typed array with its node type", kTyped12, kInts, *empty.get(), kEnc12,
       "<a xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arraySize=\"0\" SOAP-ENC:itemType=\"nsa:int\" "
       "SOAP-ENC:nodeType=\"array\" " + kEncDecl12 + " xmlns:nsa=\"http://www.w3.org/2001/XMLSchema\" " + kXsi +
           " />"},
      {"inner arrays declare their own item type; the parent's SOAP-ENC serves them, nsa is rebound", kPlain,
       kGrid, *nested.get(), kEnc11,
       "<a SOAP-ENC:arrayType=\"nsa:ArrayOfint[2]\" SOAP-ENC:offset=\"[0]\" " + kEncDecl11 +
           " xmlns:nsa=\"urn:t\"><item SOAP-ENC:arrayType=\"nsa:int[2]\" SOAP-ENC:offset=\"[0]\" " + kXsdItems +
           "<item>0</item><item>1</item></item><item SOAP-ENC:arrayType=\"nsa:int[1]\" SOAP-ENC:offset=\"[0]\" " +
           kXsdItems + "<item>2</item></item></a>"},
      // Items after the first are copies of the first of their kind only while
      // they match it: a struct's member names in order, an anyType's VARTYPE.
      {"a struct item with its members in another order", kPlain, kPoints, *points.get(), kEnc11,
       "<a SOAP-ENC:arrayType=\"nsa:Point[2]\" SOAP-ENC:offset=\"[0]\" " + kEncDecl11 + " xmlns:nsa=\"urn:t\">"
       "<item><x>1</x><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y></item>"
       "<item><nsm:y xmlns:nsm=\"urn:members\">2</nsm:y><x>1</x></item></a>"},
      {"anyType items of another VARTYPE", kPlain, kAnything, *mixed.get(), kEnc11,
       "<a SOAP-ENC:arrayType=\"nsa:anyType[3]\" SOAP-ENC:offset=\"[0]\" " + kEncDecl11 + " " + kXsdItems +
           "<item xsi:type=\"ns:int\"" + anyTyped + "1</item><item xsi:type=\"ns:double\"" + anyTyped +
           "0.5</item><item xsi:type=\"ns:int\"" + anyTyped + "3</item></a>"},
      {"an array of BSTRs is read item by item", kPlain, kStrings, *strings.get(), kEnc12,
       "<a SOAP-ENC:arraySize=\"2\" SOAP-ENC:itemType=\"nsa:string\" " + kEncDecl12 + " " + kXsdItems +
           "<item>a&amp;b</item><item /></a>"},
      {"a typed SOAP 1.2 struct and its members", kTyped12, kPoint, *c.point.get(), kEnc12,
       "<a xsi:type=\"nss:Point\" SOAP-ENC:nodeType=\"struct\" " + kEncDecl12 + " xmlns:nss=\"urn:t\" " + kXsi +
           "><x xsi:type=\"ns:int\" SOAP-ENC:nodeType=\"simple\" " + kXsd +
           ">1</x><nsm:y xsi:type=\"ns:int\" SOAP-ENC:nodeType=\"simple\" " + kXsd +
           " xmlns:nsm=\"urn:members\">2</nsm:y></a>"},
      {"a member the struct type lacks", kPlain, kPoint, *unknownMember.get(), kEnc11, "none"},
      {"a struct type needs a struct", kPlain, kPoint, *c.v[3].get(), kEnc11, "none"},
      {"an array type needs an array", kPlain, kInts, *c.v[3].get(), kEnc11, "none"},
      {"an undescribed type", kPlain, {u"Unknown", u"urn:t"}, *c.v[3].get(), kEnc11, "none"},
      {"typed literal arrays of arrays: item names and types apart", kTyped, kLiteralGrid, *literalGrid.get(),
       kLiteral,
       "<a xsi:type=\"ns:IntGrid\" xmlns:ns=\"urn:t\" " + kXsi +
           "><nsa:row xsi:type=\"ns:IntList\" xmlns:nsa=\"urn:rows\"><n xsi:type=\"ns:int\" " + kXsd +
           ">0</n><n xsi:type=\"ns:int\" " + kXsd + ">1</n></nsa:row></a>"},
      // A struct named in a namespace has bound nss to it; its type then goes
      // under ns so that xsi:type still names the type.
      {"a typed literal struct in a namespace", kTyped, kPoint, *c.point.get(), kLiteral,
       "<nss:p xsi:type=\"ns:Point\" xmlns:ns=\"urn:t\" xmlns:nss=\"urn:e\" " + kXsi + "><x xsi:type=\"ns:int\" " +
           kXsd + ">1</x><nsb:y xsi:type=\"ns:int\" " + kXsd + " xmlns:nsb=\"urn:members\">2</nsb:y></nss:p>",
       u"p", u"urn:e"},
      {"a literal simple value is prefixed, with no node type", kTyped12, Xsd(u"int"), *c.v[5].get(), kLiteral,
       "<nsb:count xsi:type=\"ns:int\" " + kXsd + " xmlns:nsb=\"urn:e\" " + kXsi + ">5</nsb:count>", u"count",
       u"urn:e"},
      {"a null value under a 1999 type is xsi:null", kTyped, {u"int", std::u16string(XSD1999_NS)}, *null.get(),
       kEnc11, "<a xsi:null=\"1\" xmlns:xsi=\"http://www.w3.org/1999/XMLSchema-instance\" />"},
      {"a null value under a 2001 type is xsi:nil and carries no type", kTyped, Xsd(u"string"), *null.get(),
       kEnc11, "<a xsi:nil=\"true\" " + kXsi + " />"},
      {"a date under the 1999 ur-type is a timeInstant", kPlain, {u"ur-type", std::u16string(XSD1999_NS)},
       *date.get(), kEnc11,
       "<a xsi:type=\"ns:timeInstant\" xmlns:ns=\"http://www.w3.org/1999/XMLSchema\" "
       "xmlns:xsi=\"http://www.w3.org/1999/XMLSchema-instance\">2000-01-01T12:00:00Z</a>"},
      {"anyType has no form for a currency value", kTyped, Xsd(u"anyType"), *money.get(), kEnc11, "none"},
      {"a SOAP-ENC type takes the 2001 schema instance", kTyped, {u"string", std::u16string(kEnc11)},
       *markup.get(), kEnc11,
       "<a xsi:type=\"ns:string\" xmlns:ns=\"http://schemas.xmlsoap.org/soap/encoding/\" " + kXsi +
           ">a&lt;b&amp;c</a>"},
      {"SOAP 1.2 node types alone add only nodeType", {.nodeType = true, .version = 12}, Xsd(u"string"),
       *text.get(), kEnc12, "<a SOAP-ENC:nodeType=\"simple\" " + kEncDecl12 + ">abc</a>"},
      {"SOAP 1.1 writes no node type", {.nodeType = true}, Xsd(u"boolean"), *flag.get(), kEnc11, "<a>1</a>"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Write(row.type, row.value, row.style, row.settings, row.name, row.ns), row.written)
        << row.why;
  }
}

// The handler's own strings and bytes may be lent to the tree, but a member
// handed out as a copy is gone once written: its text must be the tree's
// own.
TEST(ValueWriter, KeepsTheTextOfStructMembersHandedOutAsCopies) {
  const qxcom::Variant first = test::BstrVariant(u"first text, long enough for the heap"),
                       second = test::BstrVariant(u"second text, as long as the first"),
                       data = test::ByteArrayVariant(std::vector<BYTE>(70, 0xFF));
  const qxcom::Variant own = StructVariant(
      {{u"first", u"", *first.get()}, {u"second", u"", *second.get()}, {u"data", u"", *data.get()}});
  // Another implementation hands out a fresh copy of each member.
  qxcom::ComPtr<StructObject> wrapped;
  ASSERT_EQ(V_DISPATCH(own.get())->QueryInterface(IID_StructObject, reinterpret_cast<void**>(wrapped.put())), S_OK);
  test::WrappingStruct foreign(std::move(wrapped));
  VARIANT label;
  V_VT(&label) = VT_DISPATCH;
  V_DISPATCH(&label) = &foreign;
  WriterHandler setup(TypesPort(), {});
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  XmlElement& element = root->AddChild(u"a");
  ASSERT_TRUE(writer.WriteEncoded(element, {kLabel.name, kLabel.ns}, label, kEnc11));
  // Strings made and freed after the writer's copies would show through a
  // text that still pointed at them.
  for (int i = 0; i < 8; ++i) qxcom::Bstr(SysAllocString(u"overwritten overwritten overwritten"));
  EXPECT_EQ(TextOf(element),
            "<a><first>first text, long enough for the heap</first>"
            "<second>second text, as long as the first</second>"
            "<data>" + std::string(92, '/') + "/w==</data></a>");
}

TEST(ValueWriter, RaisesTheFaultOfWhatCannotBeWritten) {
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

// An object value is an attachment: referred to by a fresh uuid (a GUID's
// upper-case hex digits), by href under SOAP 1.1 encoding and SOAP-ENC:ref
// under SOAP 1.2, and filed in the attachment list of the phase with
// type-name format 3.
TEST(ValueWriter, WritesObjectsAsAttachmentsFiledInThePhaseList) {
  const std::string uuid = "(uuid:[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})";
  std::string ids[2];
  for (const bool request : {false, true}) {
    WriterHandler setup(host::MemoryPort::Create(), {.requestPhase = request});
    ValueWriter writer(setup.handler, *setup.port.get());
    auto root = XmlElement::NewTree(u"w");
    XmlElement& element = root->AddChild(u"file");
    const qxcom::ComPtr<IStorage> storage = test::NewStorage();
    VARIANT value;
    V_VT(&value) = VT_UNKNOWN;
    V_UNKNOWN(&value) = storage.get();
    ASSERT_TRUE(writer.WriteEncoded(element, {u"base64Binary", XSD2001_NS}, value, request ? kEnc12 : kEnc11));
    const std::string text = TextOf(element);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match,
                                 std::regex(request ? "<file SOAP-ENC:ref=\"" + uuid + "\" " + kEncDecl12 + " />"
                                                    : "<file href=\"" + uuid + "\" />")))
        << text;
    ids[request] = match[1];
    const MessageHandler& handler = setup.handler;
    EXPECT_EQ(handler.GetNumReqAttachments(), request ? 1 : 0);
    EXPECT_EQ(handler.GetNumRespAttachments(), request ? 0 : 1);
    LONG position = 0;
    const DimeAttachment* filed =
        request ? handler.GetFirstDIMEAttachmentReq(position) : handler.GetFirstDIMEAttachmentResp(position);
    ASSERT_NE(filed, nullptr);
    EXPECT_EQ(filed->tnf, 3);
    EXPECT_EQ(Narrow(filed->WideId()), ids[request]);
  }
  EXPECT_NE(ids[0], ids[1]) << "an identifier came twice";
}

// Array items after the first are written like it, except after a null or
// an attachment: each object is an attachment of its own, and a later
// item must not take over the first one's href.
TEST(ValueWriter, EveryObjectOfAnArrayIsAnAttachmentOfItsOwn) {
  WriterHandler setup(TypesPort(), kPlain);
  ValueWriter writer(setup.handler, *setup.port.get());
  qxcom::Variant items[3];
  for (qxcom::Variant& item : items) {
    V_VT(item.get()) = VT_UNKNOWN;
    V_UNKNOWN(item.get()) = test::NewStorage().release();
  }
  const qxcom::Variant files = VariantArray({{3, 0}}, {items[0].get(), items[1].get(), items[2].get()});
  auto root = XmlElement::NewTree(u"w");
  XmlElement& element = root->AddChild(u"a");
  ASSERT_TRUE(writer.WriteEncoded(element, {kFiles.name, kFiles.ns}, *files.get(), kEnc11));
  const std::string text = TextOf(element);
  const std::regex href("href=\"(uuid:[0-9A-F-]+)\"");
  std::set<std::string> ids;
  for (auto match = std::sregex_iterator(text.begin(), text.end(), href); match != std::sregex_iterator(); ++match) {
    ids.insert((*match)[1]);
  }
  EXPECT_EQ(ids.size(), 3u) << text;
  EXPECT_EQ(setup.handler.GetNumRespAttachments(), 3);
}

}  // namespace
}  // namespace qxsoap::testing
