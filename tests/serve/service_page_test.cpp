// The service page built from a port description: names and namespaces from
// the port cannot change the page's markup, each part is listed under its
// direction with its type, and only operations whose inputs are all simple
// get a form.
#include <gtest/gtest.h>

#include <string>

#include "host/memory_port.h"
#include "host/serve/service_page.h"
#include "platform/string_conversion.h"

namespace qxsoap::host {
namespace {

size_t Count(const std::string& text, const std::string& piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++count;
  return count;
}

qxcom::ComPtr<MemoryPort> RpcPort(std::u16string_view bindingNs = WSDL_SOAP11_NS) {
  auto port = MemoryPort::Create();
  port->Binding(bindingNs).Style(u"rpc");
  return port;
}

constexpr std::u16string_view kBreakout = u"x\"'><script>alert(1)</script><p title=\"&amp;";

struct EscapeRow {
  const char* why;
  std::u16string_view operation, parameter, ns, action, typeName;
  std::string path;
};

const EscapeRow kEscapeRows[] = {
    {"an operation name (heading, data attribute, button)", kBreakout, u"p", u"urn:t", u"a", u"string", "/svc"},
    {"a parameter name (listing, label, input name)", u"Op", kBreakout, u"urn:t", u"a", u"string", "/svc"},
    {"an operation namespace (data attribute only)", u"Op", u"p", kBreakout, u"a", u"string", "/svc"},
    {"a SOAPAction (data attribute only)", u"Op", u"p", u"urn:t", kBreakout, u"string", "/svc"},
    {"a type name (listing)", u"Op", u"p", u"urn:t", u"a", kBreakout, "/svc"},
    {"the service path (title, heading, WSDL link, endpoint)", u"Op", u"p", u"urn:t", u"a", u"string",
     qxcom::ToUtf8(kBreakout)},
};

TEST(ServicePage, NamesFromThePortCannotBreakTheMarkup) {
  for (const EscapeRow& row : kEscapeRows) {
    SCOPED_TRACE(row.why);
    auto port = RpcPort();
    port->Operation(row.operation)
        .Namespace(row.ns)
        .Action(row.action)
        .Use(u"literal")
        .In(row.parameter, Xsd(row.typeName))
        .Return(u"return", Xsd(u"string"));
    const std::string page = BuildServicePage(*port.get(), {row.path, 11, {std::u16string(row.operation)}});
    EXPECT_EQ(page.find(qxcom::ToUtf8(kBreakout)), std::string::npos) << "unescaped somewhere";
    EXPECT_NE(page.find("x&quot;&#39;&gt;&lt;script&gt;alert(1)&lt;/script&gt;&lt;p title=&quot;&amp;amp;"),
              std::string::npos);
    EXPECT_EQ(Count(page, "<script>"), 1u);
    EXPECT_EQ(Count(page, "<section "), 1u);
    EXPECT_EQ(Count(page, "<form "), 1u);
    EXPECT_EQ(Count(page, "<input "), 1u);
  }
}

// Which input types make an operation callable from a form (a struct has
// none: service_page_test.js sees echoStruct's).
struct FormRow {
  const char* why;
  TypeName type;
  bool hasForm;
};

const FormRow kFormRows[] = {
    {"a schema built-in", Xsd(u"int"), true},
    {"a restriction of a built-in in the service's namespace", {u"Code", u"urn:t"}, true},
    {"an encoded array (derives from the encoding's Array)", {u"Ints", u"urn:t"}, false},
    {"a literal array (no base declared)", {u"List", u"urn:t"}, false},
};

TEST(ServicePage, FormsOnlyForSimpleInputs) {
  for (const FormRow& row : kFormRows) {
    SCOPED_TRACE(row.why);
    auto port = RpcPort();
    port->Derived({u"Code", u"urn:t"}, Xsd(u"string"));
    port->Array({u"Ints", u"urn:t"}, Xsd(u"int"));
    port->LiteralArray({u"List", u"urn:t"}, Xsd(u"int"), {u"item", u""});
    port->Operation(u"Op").Namespace(u"urn:t").In(u"first", Xsd(u"string")).In(u"second", row.type);
    const std::string page = BuildServicePage(*port.get(), {"/svc", 11, {u"Op"}});
    EXPECT_EQ(Count(page, "<form "), row.hasForm ? 1u : 0u);
    EXPECT_EQ(Count(page, "class=\"noform\""), row.hasForm ? 0u : 1u);
  }
}

TEST(ServicePage, ListsPartsByDirectionWithTheirTypes) {
  auto port = RpcPort(WSDL_SOAP12_NS);
  port->Operation(u"Divide")
      .Namespace(u"urn:calc")
      .Action(u"urn:calc#Divide")
      .Use(u"encoded")
      .EncodingStyle(u"http://www.w3.org/2003/05/soap-encoding")
      .In(u"dividend", Xsd(u"int"))
      .InOut(u"divisor", Xsd(u"int"))
      .Out(u"remainder", {u"Rest", u"urn:calc"})
      .Return(u"quotient", Xsd(u"double"));
  port->Operation(u"N\u00f6tify\U0001F600").Namespace(u"urn:calc").In(u"text", Xsd(u"string"));
  const std::string page = BuildServicePage(*port.get(), {"/calc", 12, {u"Divide", u"N\u00f6tify\U0001F600"}});
  const std::string inputs =
      "<ul class=\"inputs\"><li><code class=\"name\">dividend</code> <span class=\"type\" "
      "title=\"http://www.w3.org/2001/XMLSchema\">xsd:int</span></li><li><code class=\"name\">divisor</code>";
  EXPECT_NE(page.find(inputs), std::string::npos) << "in and in/out parts, in order";
  const std::string outputs =
      "<ul class=\"outputs\"><li><code class=\"name\">divisor</code> <span class=\"type\" "
      "title=\"http://www.w3.org/2001/XMLSchema\">xsd:int</span></li><li><code class=\"name\">remainder</code> "
      "<span class=\"type\" title=\"urn:calc\">Rest</span></li><li><code class=\"name\">quotient</code> "
      "<span class=\"type\" title=\"http://www.w3.org/2001/XMLSchema\">xsd:double</span></li></ul>";
  EXPECT_NE(page.find(outputs), std::string::npos) << "in/out, out and return parts, in order";
  EXPECT_NE(page.find("data-operation=\"Divide\" data-namespace=\"urn:calc\" data-action=\"urn:calc#Divide\" "
                      "data-use=\"encoded\" data-encoding-style=\"http://www.w3.org/2003/05/soap-encoding\""),
            std::string::npos);
  EXPECT_NE(page.find("none (one-way)"), std::string::npos) << "a one-way operation";
  EXPECT_NE(page.find("href=\"/calc?wsdl\""), std::string::npos);
  const size_t second = page.find("<h2>N\xC3\xB6tify\xF0\x9F\x98\x80</h2>");  // a name as UTF-8
  EXPECT_LT(page.find("<h2>Divide</h2>"), second) << "operations in the order given";
  EXPECT_NE(second, std::string::npos);
}

}  // namespace
}  // namespace qxsoap::host
