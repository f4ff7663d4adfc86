// Values through a whole round trip: one handler writes a call with the
// values as its parameters, another reads the bytes back with Deserialize
// and ProcessRPC, and every value comes back equal, in both SOAP versions
// and with explicit typing on and off. The written bytes are also read by
// libxml2.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <tuple>
#include <vector>

#include "rpc/production_engines.h"
#include "serializer_test_support.h"
#include "support/struct_object_reader.h"
#include "support/variants.h"
#include "xml/namespaces.h"

namespace qxsoap::testing {
namespace {

using host::TypeName;
using host::Xsd;

const TypeName kStruct{u"SOAPStruct", u"http://soapinterop.org/xsd"};
const TypeName kNested{u"Nested", u"http://soapinterop.org/xsd"};
const TypeName kStrings{u"ArrayOfstring", u"http://soapinterop.org/xsd"};
const TypeName kGrid{u"ArrayOfint2", u"http://soapinterop.org/xsd"};
const TypeName kStructs{u"ArrayOfSOAPStruct", u"http://soapinterop.org/xsd"};

struct Parameter {
  std::u16string name;
  TypeName type;
  qxcom::Variant value;
};

std::vector<Parameter> EchoValues() {
  std::vector<Parameter> values;
  const auto add = [&](std::u16string name, TypeName type, qxcom::Variant value) {
    values.push_back({std::move(name), std::move(type), std::move(value)});
  };
  add(u"accented", Xsd(u"string"), test::BstrVariant(u"h\u00e9llo \u20ac"));
  add(u"astral", Xsd(u"string"), test::BstrVariant(u"\U0001F600 and \U00010348"));
  add(u"blank", Xsd(u"string"), test::BstrVariant(u" \t "));
  add(u"empty", Xsd(u"string"), test::BstrVariant(u""));
  add(u"markup", Xsd(u"string"), test::BstrVariant(u"<a href=\"x\">&amp;'</a>]]>"));
  add(u"smallest", Xsd(u"int"), test::LongVariant(INT_MIN));
  add(u"largest", Xsd(u"int"), test::LongVariant(INT_MAX));
  add(u"single", Xsd(u"float"), test::FloatVariant(-FLT_MAX));
  add(u"fraction", Xsd(u"double"), test::DoubleVariant(0.1));
  add(u"negative", Xsd(u"double"), test::DoubleVariant(-1e300));
  add(u"flag", Xsd(u"boolean"), test::BoolVariant(true));
  add(u"when", Xsd(u"dateTime"), test::DateVariant(45000.25));
  add(u"money", Xsd(u"decimal"), test::DecimalVariant(u"-79228162514264337593543950335"));
  // Every byte value, in texts too long for the tree's blocks, made in
  // memory of their own.
  std::vector<BYTE> document(200000);
  for (size_t i = 0; i < document.size(); ++i) document[i] = BYTE(i * 7 + i / 251);
  add(u"document", Xsd(u"base64Binary"), test::ByteArrayVariant(document));
  add(u"longHex", Xsd(u"hexBinary"), test::ByteArrayVariant(document));
  add(u"strings", kStrings, test::StringArrayVariant({u"a", u"", u"\u00e9"}));
  add(u"none", kStrings, test::StringArrayVariant({}));
  const qxcom::Variant v[] = {test::LongVariant(1), test::LongVariant(2), test::LongVariant(3),
                              test::LongVariant(4), test::LongVariant(5), test::LongVariant(6)};
  add(u"grid", kGrid,
      VariantArray({{2, 0}, {3, 0}}, {v[0].get(), v[1].get(), v[2].get(), v[3].get(), v[4].get(), v[5].get()}));
  const qxcom::Variant text = test::BstrVariant(u"s"), number = test::FloatVariant(1.5f);
  qxcom::Variant inner = StructVariant(
      {{u"varString", u"", *text.get()}, {u"varInt", u"", *v[0].get()}, {u"varFloat", u"", *number.get()}});
  add(u"nested", kNested, StructVariant({{u"label", u"", *text.get()}, {u"inner", u"", *inner.get()}}));
  add(u"structs", kStructs, VariantArray({{2, 0}}, {inner.get(), inner.get()}));
  return values;
}

qxcom::ComPtr<host::MemoryPort> EchoPort(LONG version, const std::vector<Parameter>& values) {
  const std::u16string encoding(version == 11 ? SOAP11_ENC_NS : SOAP12_ENC_NS);
  auto port = host::MemoryPort::Create();
  port->Binding(version == 11 ? WSDL_SOAP11_NS : WSDL_SOAP12_NS).Style(u"rpc");
  port->Struct(kStruct)
      .Member(u"varString", Xsd(u"string"))
      .Member(u"varInt", Xsd(u"int"))
      .Member(u"varFloat", Xsd(u"float"));
  port->Struct(kNested).Member(u"label", Xsd(u"string")).Member(u"inner", kStruct);
  port->Array(kStrings, Xsd(u"string"), 1, encoding);
  port->Array(kGrid, Xsd(u"int"), 2, encoding);
  port->Array(kStructs, kStruct, 1, encoding);
  auto operation = port->Operation(u"echo");
  operation.Namespace(u"urn:echo").Action(u"urn:echo").Use(u"encoded").EncodingStyle(encoding);
  for (const Parameter& parameter : values) operation.In(parameter.name, parameter.type);
  return port;
}

class RoundTrips : public ::testing::TestWithParam<std::tuple<LONG, bool>> {};

TEST_P(RoundTrips, GiveBackEveryValue) {
  const auto [version, explicitTyping] = GetParam();
  const std::vector<Parameter> values = EchoValues();
  const qxcom::ComPtr<host::MemoryPort> port = EchoPort(version, values);

  MessageHandler sender(ProductionEngines());
  ASSERT_TRUE(sender.Initialize(u"svc", u"port", u"", u"urn:echo", u"", explicitTyping, true, port.get()));
  sender.SetSOAPVersion(version);
  sender.SetMethodName(u"echo");
  sender.SetMethodNS(u"urn:echo");
  for (const Parameter& parameter : values) {
    ASSERT_EQ(sender.AddMethodParam(u"", parameter.name, parameter.value.get(), true, false), S_OK);
  }
  ASSERT_TRUE(sender.Serialize()) << Narrow(sender.GetSOAPFaultString());
  const std::string written = BufferText(sender);
  std::string complaint;
  EXPECT_TRUE(LibXmlAccepts(written, &complaint)) << complaint;

  MessageHandler receiver(ProductionEngines());
  ASSERT_TRUE(receiver.Initialize(u"svc", u"port", u"", u"urn:echo", u"", false, false, port.get()));
  ASSERT_TRUE(receiver.SetBuffer(sender.GetBuffer()));
  ASSERT_TRUE(receiver.Deserialize()) << Narrow(receiver.GetSOAPFaultString()) << "\n" << written;
  ASSERT_TRUE(receiver.ProcessRPC()) << Narrow(receiver.GetSOAPFaultString()) << "\n" << written;
  ASSERT_EQ(receiver.GetNumMethodParams(), LONG(values.size()));
  LONG position = 0;
  const MethodParam* read = receiver.GetFirstMethodParam(position);
  for (const Parameter& parameter : values) {
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Narrow(read->name), Narrow(parameter.name));
    EXPECT_EQ(Narrow(test::Describe(*read->content.get())), Narrow(test::Describe(*parameter.value.get())))
        << Narrow(parameter.name);
    read = receiver.GetNextMethodParam(position);
  }
}

INSTANTIATE_TEST_SUITE_P(VersionsAndTyping, RoundTrips,
                         ::testing::Combine(::testing::Values(11, 12), ::testing::Bool()));

}  // namespace
}  // namespace qxsoap::testing
