// Builds the benchmark's SOAP request.
#include "soap_document.h"

namespace qxsoap::bench {

namespace {

// Ten texts of mixed scripts, two with a reference: of their characters about one in five is
// outside ASCII (accented Latin, Greek, Cyrillic, CJK, the euro sign).
constexpr const char* kTexts[] = {
    "Gr\xC3\xBC\xC3\x9F"
    "e aus M\xC3\xBCnchen, order 1",
    "caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
    "e",
    "price 12,50 \xE2\x82\xAC incl. tax",
    "\xCE\xB1\xCE\xB2\xCE\xB3 delta epsilon",
    "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 office",
    "plain ASCII line of text",
    "\xE6\x9D\xB1\xE4\xBA\xAC shipping &amp; handling",
    "ni\xC3\xB1o y ni\xC3\xB1"
    "a &lt;3",
    "S\xC3\xA3o Paulo warehouse 7",
    "\xC3\x85ngstr\xC3\xB6m units",
};

}  // namespace

std::string MakeRpcRequest(int items) {
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"\n"
      "    xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\"\n"
      "    xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"\n"
      "    xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
      "    SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\n"
      "  <SOAP-ENV:Header>\n"
      "    <h:Session xmlns:h=\"urn:example:session\" SOAP-ENV:mustUnderstand=\"1\">"
      "a1b2c3d4</h:Session>\n"
      "  </SOAP-ENV:Header>\n"
      "  <SOAP-ENV:Body>\n"
      "    <m:SubmitOrder xmlns:m=\"urn:example:orders\">\n"
      "      <lines xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:string[" +
      std::to_string(items) + "]\">\n";
  for (int i = 0; i < items; ++i) {
    doc += "        <item xsi:type=\"xsd:string\">";
    doc += kTexts[i % 10];
    doc += " #" + std::to_string(i) + "</item>\n";
  }
  doc +=
      "      </lines>\n"
      "    </m:SubmitOrder>\n"
      "  </SOAP-ENV:Body>\n"
      "</SOAP-ENV:Envelope>\n";
  return doc;
}

}  // namespace qxsoap::bench
