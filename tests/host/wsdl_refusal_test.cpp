// A WSDL the reader cannot describe faithfully is refused with the file and
// the line of the construct, never described half right.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "qxsoap/wsdl_port.h"

namespace qxsoap::host {
namespace {

// A small valid service, each construct on a line of its own; each row
// changes one piece of it.
const std::string kValid = R"(<?xml version="1.0"?>
<definitions targetNamespace="urn:t" xmlns="http://schemas.xmlsoap.org/wsdl/"
    xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/" xmlns:soap="http://schemas.xmlsoap.org/wsdl/soap/"
    xmlns:xsd="http://www.w3.org/2001/XMLSchema"
    xmlns:enc="http://schemas.xmlsoap.org/soap/encoding/" xmlns:tns="urn:t">
  <types>
    <xsd:schema targetNamespace="urn:t">
      <xsd:complexType name="T">
        <xsd:sequence><xsd:element name="a" type="xsd:int"/></xsd:sequence>
      </xsd:complexType>
    </xsd:schema>
  </types>
  <message name="in">
    <part name="p" type="tns:T"/>
  </message>
  <portType name="PT">
    <operation name="op">
      <input message="tns:in"/>
    </operation>
  </portType>
  <binding name="B" type="tns:PT">
    <soap:binding style="rpc" transport="http://schemas.xmlsoap.org/soap/http"/>
    <operation name="op">
      <soap:operation soapAction="op"/>
      <input><soap:body use="literal" namespace="urn:t"/></input>
    </operation>
  </binding>
  <service name="S">
    <port name="P" binding="tns:B">
      <soap:address location="http://example.org/t"/>
    </port>
  </service>
</definitions>
)";

const std::string kMark = "<!--refused-->";
const std::string kElement = R"(<xsd:element name="a" type="xsd:int"/>)";
const std::string kSequence = "<xsd:sequence>" + kElement + "</xsd:sequence>";
const std::string kPart = R"(<part name="p" type="tns:T"/>)";
// The port type's operation comes first in the document, the binding's after.
const std::string kPortTypeOperation = R"(<operation name="op">)";

int LineOf(const std::string& text, const std::string& piece) {
  const size_t at = text.find(piece);
  return at == std::string::npos ? -1 : 1 + int(std::count(text.begin(), text.begin() + long(at), '\n'));
}

std::string WriteSample(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

TEST(WsdlRefusalTest, NamesTheFileAndLineOfWhatItCannotDescribe) {
  const std::string array = R"(<xsd:complexContent><xsd:restriction base="enc:Array">)";
  // Each type declared before the one it extends, all on one line: the
  // first is built through all the others.
  std::string chain;
  for (int i = 10000; i > 0; --i) {
    chain += R"(<xsd:complexType name="T)" + std::to_string(i) +
             R"("><xsd:complexContent><xsd:extension base="tns:T)" + (i > 1 ? std::to_string(i - 1) : "") +
             R"("/></xsd:complexContent></xsd:complexType>)";
  }
  const struct {
    std::string from, to, message;
  } rows[] = {
      {kSequence, "<xsd:choice minOccurs=\"1\">" + kMark + kElement + "</xsd:choice>",
       "xsd:choice is not supported"},
      // A construct without attributes: the line of its start tag.
      {kSequence, "<xsd:choice>" + kMark + "\n" + kElement + "\n</xsd:choice>",
       "xsd:choice is not supported"},
      {kPart, R"(<part name="p" type="tns:Missing"/>)" + kMark, "no schema declares the type Missing"},
      {kPart, R"(<part name="p" element="tns:Missing"/>)" + kMark, "no schema declares the element Missing"},
      {kPart, R"(<part name="p" type="q:T"/>)" + kMark, "the prefix q of q:T is not declared"},
      {kPart, R"(<part name="p"/>)" + kMark, "has neither element nor type"},
      {R"(<input message="tns:in"/>)", R"(<input message="tns:out"/>)" + kMark,
       "message out of urn:t is not defined"},
      {kElement, R"(<xsd:element name="a">)" + kMark +
       "<xsd:complexType/></xsd:element>", "anonymous type"},
      // An array of arrays has no item type to name.
      {kSequence, array + "\n" + R"(<xsd:attribute ref="enc:arrayType" wsdl:arrayType="xsd:int[][]"/>)" + kMark +
       "</xsd:restriction></xsd:complexContent>", "is not one type and one group of brackets"},
      {kSequence, array + kMark + "</xsd:restriction></xsd:complexContent>", "declares no item type"},
      {kSequence, R"(<xsd:complexContent><xsd:extension base="tns:T"/>)" + kMark + "</xsd:complexContent>",
       "derives from itself"},
      {"</xsd:schema>", chain + kMark + "\n</xsd:schema>", "derives through more than 256 types"},
      {R"(<soap:operation soapAction="op"/>)", R"(<soap:operation soapAction="op" style="document"/>)" + kMark,
       "differs from the binding style"},
      {"<operation name=\"op\">\n      <soap:operation", "<operation name=\"op2\">" + kMark + "\n<soap:operation",
       "the port type has no operation op2"},
      {kPortTypeOperation, "<operation name=\"op\" parameterOrder=\"p q\">" + kMark,
       "parameterOrder names q, which no body part is"},
      {kPortTypeOperation, "<operation name=\"op\" parameterOrder=\"\">" + kMark,
       "parameterOrder leaves out the input part p"},
      {"</input>", R"(<mime:content xmlns:mime="urn:mime" part="p"/>)" + kMark + "</input>",
       "binding extension mime:content is not supported"},
      {R"(location="http://example.org/t"/>)", R"(location="mailto:t@example.org"/>)" + kMark,
       "is not an http or https URL"},
      {R"(<xsd:schema targetNamespace="urn:t">)",
       R"(<xsd:schema targetNamespace="urn:t"><xsd:import schemaLocation="absent.xsd"/>)" + kMark, "cannot read"},
      {R"(<xsd:schema targetNamespace="urn:t">)",
       R"(<xsd:schema targetNamespace="urn:t"><xsd:import schemaLocation="/dev/zero"/>)" + kMark, "cannot read"},
  };
  for (const auto& row : rows) {
    std::string text = kValid;
    const size_t at = text.find(row.from);
    ASSERT_NE(at, std::string::npos) << row.message;
    text.replace(at, row.from.size(), row.to);
    const std::string path = WriteSample("refused.wsdl", text);
    WsdlError error;
    PortDescription* port = LoadWsdlPort(path.c_str(), nullptr, &error);
    EXPECT_EQ(port, nullptr) << row.message;
    if (port) port->Release();
    EXPECT_EQ(error.file, path) << row.message;
    EXPECT_EQ(error.line, LineOf(text, kMark)) << error.message;
    EXPECT_NE(error.message.find(row.message), std::string::npos) << row.message << ": " << error.message;
  }
}

TEST(WsdlRefusalTest, ReportsFilesItCannotReadOrParseAndMissingPorts) {
  WsdlError error;
  EXPECT_EQ(LoadWsdlPort((::testing::TempDir() + "no-such.wsdl").c_str(), nullptr, &error), nullptr);
  EXPECT_EQ(error.line, 0);
  EXPECT_EQ(error.message, "cannot read the file");

  std::string text = kValid;
  text.replace(text.find("</message>"), 10, "</messages>");
  EXPECT_EQ(LoadWsdlPort(WriteSample("malformed.wsdl", text).c_str(), nullptr, &error), nullptr);
  EXPECT_EQ(error.line, LineOf(text, "</messages>"));
  EXPECT_NE(error.message.find("not well-formed"), std::string::npos) << error.message;

  EXPECT_EQ(LoadWsdlPort(WriteSample("port.wsdl", kValid).c_str(), "Q", &error), nullptr);
  EXPECT_EQ(error.message, "no service port is named Q");
}

}  // namespace
}  // namespace qxsoap::host
