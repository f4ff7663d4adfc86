// `?wsdl` answers the file as written with the served port's address
// pointing where the server listens. serve_test.py compares whole files for
// the plain cases (first port, a named SOAP 1.2 port, an address in a
// comment); these are the ones calc.wsdl does not have.
#include <gtest/gtest.h>

#include "host/serve/wsdl_address.h"

namespace qxsoap::host {
namespace {

constexpr char kHead[] =
    "<definitions xmlns='http://schemas.xmlsoap.org/wsdl/' xmlns:s='http://schemas.xmlsoap.org/wsdl/soap/'"
    " xmlns:s12='http://schemas.xmlsoap.org/wsdl/soap12/' xmlns:h='http://schemas.xmlsoap.org/wsdl/http/'>";

struct AddressRow {
  const char* why;
  const char* body;      // after kHead, before the closing tag
  const char* port;      // the served port; empty: the first with a SOAP address
  const char* expected;  // the body afterwards; null: no address found
};

constexpr AddressRow kAddressRows[] = {
    {"an HTTP-binding address is not the SOAP port's; the first SOAP one is",
     "<port name='H'><h:address location='http://old/h'/></port><port name='S'><s:address location='l'/></port>", "",
     "<port name='H'><h:address location='http://old/h'/></port><port name='S'><s:address location='http://new/x'/></port>"},
    {"an address outside the named port is not its address",
     "<port name='A'><s:address location='a'/></port><port name='B'></port>", "B", nullptr},
    {"other attributes and spacing are kept",
     "<port name='A'>\n  <s:address\n   x='1'  location = \"l\" y='2' /></port>", "",
     "<port name='A'>\n  <s:address\n   x='1'  location = \"http://new/x\" y='2' /></port>"},
    {"text that ends inside a tag", "<port name='A'><s:address location='l", "", nullptr},
};

TEST(WsdlAddress, RewritesOnlyTheServedPortsAddress) {
  const std::string head = kHead, tail = "</definitions>";
  for (const AddressRow& row : kAddressRows) {
    SCOPED_TRACE(row.why);
    const auto rewritten = RewriteWsdlAddress(head + row.body + tail, row.port, "http://new/x");
    ASSERT_EQ(rewritten.has_value(), row.expected != nullptr);
    if (rewritten) {
      EXPECT_EQ(*rewritten, head + row.expected + tail);
    }
  }
}

TEST(WsdlAddress, EscapesTheLocationForAnAttribute) {
  const auto rewritten = RewriteWsdlAddress(std::string(kHead) + "<port name='A'><s:address location='l'/></port>",
                                            "", "http://h/a?b=\"1\"&c=<2>");
  ASSERT_TRUE(rewritten);
  EXPECT_NE(rewritten->find("location='http://h/a?b=&quot;1&quot;&amp;c=&lt;2>'"), std::string::npos) << *rewritten;
}

}  // namespace
}  // namespace qxsoap::host
