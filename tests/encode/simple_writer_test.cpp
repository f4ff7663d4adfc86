// Simple values written by the encoded and literal writers: the text, the
// typing attributes with their prefixes and declarations, nil values,
// anyType values typed by their VARTYPE, node types and attachments.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "encode/value_writer.h"
#include "model/fault_record.h"
#include "serializer_test_support.h"
#include "support/com_objects.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

const std::u16string kEnc11(SOAP11_ENC_NS);
const std::u16string kEnc12(SOAP12_ENC_NS);

struct SimpleRow {
  const char* why;
  WriterSettings settings;
  TypeName type;
  std::function<qxcom::Variant()> value;
  std::optional<std::string> written;  // nullopt: the writer gives none
  std::u16string style = kEnc11;
};

class EncodedSimpleValues : public ::testing::TestWithParam<SimpleRow> {};

TEST_P(EncodedSimpleValues, WriteTheirTextAndTyping) {
  const SimpleRow& row = GetParam();
  WriterHandler setup(host::MemoryPort::Create(), row.settings);
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  XmlElement& element = root->AddChild(u"v");
  const qxcom::Variant value = row.value();
  const bool written = writer.WriteEncoded(element, {row.type.name, row.type.ns}, *value.get(), row.style);
  ASSERT_EQ(written, row.written.has_value()) << row.why;
  if (written) {
    EXPECT_EQ(TextOf(element), *row.written) << row.why;
  }
}

constexpr WriterSettings kPlain{};
constexpr WriterSettings kTyped{.explicitTyping = true};
constexpr WriterSettings kNodeTyped12{.nodeType = true, .version = 12};
constexpr WriterSettings kNodeTyped11{.nodeType = true, .version = 11};

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodedSimpleValues,
    ::testing::Values(
        SimpleRow{"explicit typing binds ns to the type's namespace and xsi to its year", kTyped,
                  Xsd(u"int"), [] { return test::LongVariant(42); },
                  "<v xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">42</v>"},
        SimpleRow{"without explicit typing only the text is written", kPlain, Xsd(u"int"),
                  [] { return test::LongVariant(-7); }, "<v>-7</v>"},
        SimpleRow{"a null value under a 1999 type is xsi:null", kTyped,
                  {u"int", std::u16string(XSD1999_NS)}, [] { return test::NullVariant(); },
                  "<v xsi:null=\"1\" xmlns:xsi=\"http://www.w3.org/1999/XMLSchema-instance\" />"},
        SimpleRow{"a null value under a 2001 type is xsi:nil and carries no type", kTyped,
                  Xsd(u"string"), [] { return test::NullVariant(); },
                  "<v xsi:nil=\"true\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" />"},
        SimpleRow{"an anyType value names its type even without explicit typing", kPlain,
                  Xsd(u"anyType"), [] { return test::DoubleVariant(2.5); },
                  "<v xsi:type=\"ns:double\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">2.5</v>"},
        SimpleRow{"a date under the 1999 ur-type is a timeInstant", kPlain,
                  {u"ur-type", std::u16string(XSD1999_NS)}, [] { return test::DateVariant(36526.5); },
                  "<v xsi:type=\"ns:timeInstant\" xmlns:ns=\"http://www.w3.org/1999/XMLSchema\" "
                  "xmlns:xsi=\"http://www.w3.org/1999/XMLSchema-instance\">2000-01-01T12:00:00Z"
                  "</v>"},
        SimpleRow{"anyType has no form for a currency value", kTyped, Xsd(u"anyType"),
                  [] { return test::CurrencyVariant(10000); }, std::nullopt},
        SimpleRow{"a type the table does not know gives none", kTyped, Xsd(u"token"),
                  [] { return test::BstrVariant(u"x"); }, std::nullopt},
        SimpleRow{"a SOAP-ENC type takes the 2001 schema instance", kTyped, {u"string", kEnc11},
                  [] { return test::BstrVariant(u"a<b&c"); },
                  "<v xsi:type=\"ns:string\" xmlns:ns=\"http://schemas.xmlsoap.org/soap/encoding/\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">a&lt;b&amp;c</v>"},
        SimpleRow{"SOAP 1.2 node types alone add only nodeType", kNodeTyped12, Xsd(u"string"),
                  [] { return test::BstrVariant(u"abc"); },
                  "<v SOAP-ENC:nodeType=\"simple\" "
                  "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\">abc</v>",
                  kEnc12},
        SimpleRow{"SOAP 1.1 writes no node type", kNodeTyped11, Xsd(u"boolean"),
                  [] { return test::BoolVariant(true); }, "<v>1</v>"},
        SimpleRow{"an empty string is an element without content", kPlain, Xsd(u"string"),
                  [] { return test::BstrVariant(u""); }, "<v />"}));

TEST(LiteralSimpleValues, PrefixTheirNamespaceAndNeverCarryNodeTypes) {
  WriterHandler setup(host::MemoryPort::Create(), {.explicitTyping = true, .nodeType = true, .version = 12});
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  const qxcom::Variant value = test::LongVariant(5);
  ASSERT_TRUE(writer.WriteLiteral(*root, u"count", u"urn:e", {Xsd(u"int").name, XSD2001_NS}, *value.get()));
  ASSERT_TRUE(writer.WriteLiteral(*root, u"plain", u"", {u"int", XSD2001_NS}, *value.get()));
  EXPECT_EQ(TextOf(root->Children().front()),
            "<nsb:count xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:nsb=\"urn:e\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">5</nsb:count>");
  EXPECT_EQ(TextOf(root->Children().back()),
            "<plain xsi:type=\"ns:int\" xmlns:ns=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">5</plain>");
}

// An object value is an attachment: referred to by a fresh uuid and filed in
// the attachment list of the phase, with type-name format 3.
TEST(Attachments, AreReferredToByUuidAndFiledInThePhaseList) {
  struct Case {
    const char* why;
    bool requestPhase;
    std::u16string style;
    const char* attribute;
  };
  for (const Case& c : {Case{"SOAP 1.1 encoding refers by href", false, kEnc11, "href=\"uuid:"},
                        Case{"SOAP 1.2 encoding refers by SOAP-ENC:ref", true, kEnc12,
                             "SOAP-ENC:ref=\"uuid:"}}) {
    WriterHandler setup(host::MemoryPort::Create(), {.requestPhase = c.requestPhase});
    ValueWriter writer(setup.handler, *setup.port.get());
    auto root = XmlElement::NewTree(u"w");
    XmlElement& element = root->AddChild(u"file");
    const qxcom::ComPtr<IStorage> storage = test::NewStorage();
    qxcom::Variant value;
    V_VT(value.get()) = VT_UNKNOWN;
    V_UNKNOWN(value.get()) = storage.get();
    ASSERT_TRUE(writer.WriteEncoded(element, {u"base64Binary", XSD2001_NS}, *value.get(), c.style)) << c.why;
    V_VT(value.get()) = VT_EMPTY;  // borrowed

    const std::string text = TextOf(element);
    const size_t at = text.find(c.attribute);
    ASSERT_NE(at, std::string::npos) << c.why << ": " << text;
    const size_t idStart = text.find("uuid:", at);
    EXPECT_EQ(text.find('"', idStart) - idStart, 41u) << c.why;
    EXPECT_EQ(text.find("xsi:type"), std::string::npos) << c.why;

    const MessageHandler& handler = setup.handler;
    EXPECT_EQ(handler.GetNumReqAttachments(), c.requestPhase ? 1 : 0) << c.why;
    EXPECT_EQ(handler.GetNumRespAttachments(), c.requestPhase ? 0 : 1) << c.why;
    LONG position = 0;
    const DimeAttachment* filed = c.requestPhase ? handler.GetFirstDIMEAttachmentReq(position)
                                                 : handler.GetFirstDIMEAttachmentResp(position);
    ASSERT_NE(filed, nullptr);
    EXPECT_EQ(filed->tnf, 3) << c.why;
    EXPECT_EQ(Narrow(filed->WideId()), text.substr(idStart, 41)) << c.why;
  }
}

// A literal value has no attachment form: an object goes through the
// conversion to text like any value, and that fails.
TEST(ConversionFailures, RaiseAReceiverFaultWithDetail) {
  WriterHandler setup(host::MemoryPort::Create(), kPlain);
  ValueWriter writer(setup.handler, *setup.port.get());
  auto root = XmlElement::NewTree(u"w");
  const qxcom::ComPtr<IStorage> storage = test::NewStorage();
  qxcom::Variant value;
  V_VT(value.get()) = VT_UNKNOWN;
  V_UNKNOWN(value.get()) = storage.get();
  storage.get()->AddRef();  // the VARIANT's own reference
  try {
    writer.WriteLiteral(*root, u"v", u"", {u"string", XSD2001_NS}, *value.get());
    FAIL() << "an object was written as literal text";
  } catch (QXSOAPFault* raised) {
    const std::unique_ptr<QXSOAPFault> fault(raised);
    EXPECT_EQ(fault->kind, FaultKind::kReceiver);
    EXPECT_TRUE(fault->needDetail);
    EXPECT_EQ(fault->message.rfind(u"A value could not be converted to text (HRESULT 0x", 0), 0u)
        << Narrow(fault->message);
  }
}

}  // namespace
}  // namespace qxsoap::testing
