// Simple values written by the encoded and literal writers: the text, the
// typing attributes with their prefixes and declarations, nil values,
// anyType values typed by their VARTYPE, node types and attachments.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "encode/value_writer.h"
#include "serializer_test_support.h"
#include "support/com_objects.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

constexpr std::u16string_view kEnc11 = SOAP11_ENC_NS;
constexpr WriterSettings kPlain{}, kTyped{.explicitTyping = true};
const std::string kXsiNs = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

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
