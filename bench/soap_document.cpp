// Builds the benchmark's SOAP requests.
#include "soap_document.h"

#include <cstdint>

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

// The envelope up to the method element's content: XML declaration, the
// usual prefixes (plus `extraNamespaces`, e.g. ` xmlns:ns="..."`), a header
// block and the opening method element.
std::string EnvelopeHead(const char* method, const char* extraNamespaces) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"\n"
             "    xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\"\n"
             "    xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"\n"
             "    xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"") +
         extraNamespaces +
         "\n"
         "    SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\n"
         "  <SOAP-ENV:Header>\n"
         "    <h:Session xmlns:h=\"urn:example:session\" SOAP-ENV:mustUnderstand=\"1\">"
         "a1b2c3d4</h:Session>\n"
         "  </SOAP-ENV:Header>\n"
         "  <SOAP-ENV:Body>\n"
         "    <m:" +
         method + " xmlns:m=\"urn:example:orders\">\n";
}

constexpr const char* kEnvelopeTail =
    "  </SOAP-ENV:Body>\n"
    "</SOAP-ENV:Envelope>\n";

std::string MethodEnd(const char* method) { return std::string("    </m:") + method + ">\n"; }

// One struct as a multiRef accessor: always number, customer, total and a
// date; every third struct adds a quantity, every third another a note.
void AppendOrder(std::string& doc, int i) {
  const std::string n = std::to_string(i);
  doc += "    <multiRef id=\"id" + n + "\" xsi:type=\"ns:Order\" SOAP-ENC:root=\"0\">\n";
  doc += "      <number xsi:type=\"xsd:int\">" + n + "</number>\n";
  doc += "      <customer xsi:type=\"xsd:string\">";
  doc += kTexts[i % 10];
  doc += "</customer>\n";
  doc += "      <total xsi:type=\"xsd:double\">" + std::to_string(i % 997) + "." +
         std::to_string(10 + i % 90) + "</total>\n";
  doc += "      <placed xsi:type=\"xsd:date\">2024-" + std::to_string(10 + i % 3) + "-" +
         std::to_string(10 + i % 19) + "</placed>\n";
  if (i % 3 == 1)
    doc += "      <quantity xsi:type=\"xsd:int\">" + std::to_string(1 + i % 40) + "</quantity>\n";
  if (i % 3 == 2) {
    doc += "      <note xsi:type=\"xsd:string\">";
    doc += kTexts[(i + 3) % 10];
    doc += "</note>\n";
  }
  doc += "    </multiRef>\n";
}

}  // namespace

std::string MakeRpcRequest(int items) {
  std::string doc = EnvelopeHead("SubmitOrder", "");
  doc += "      <lines xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"xsd:string[" +
         std::to_string(items) + "]\">\n";
  for (int i = 0; i < items; ++i) {
    doc += "        <item xsi:type=\"xsd:string\">";
    doc += kTexts[i % 10];
    doc += " #" + std::to_string(i) + "</item>\n";
  }
  doc += "      </lines>\n";
  doc += MethodEnd("SubmitOrder");
  doc += kEnvelopeTail;
  return doc;
}

std::string MakeStructsRequest(int structs) {
  std::string doc = EnvelopeHead("SubmitOrders", "\n    xmlns:ns=\"urn:example:orders:types\"");
  doc += "      <orders xsi:type=\"SOAP-ENC:Array\" SOAP-ENC:arrayType=\"ns:Order[" +
         std::to_string(structs) + "]\">\n";
  for (int i = 1; i <= structs; ++i)
    doc += "        <item href=\"#id" + std::to_string(i) + "\"/>\n";
  doc += "      </orders>\n";
  doc += MethodEnd("SubmitOrders");
  for (int i = 1; i <= structs; ++i) AppendOrder(doc, i);
  doc += kEnvelopeTail;
  return doc;
}

std::string MakeBase64Request(size_t base64Chars) {
  constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string doc = EnvelopeHead("StoreDocument", "");
  doc += "      <name xsi:type=\"xsd:string\">scan-0001.pdf</name>\n";
  doc += "      <content xsi:type=\"xsd:base64Binary\">";
  // Pseudo-random digits stand for compressed content; any run of whole
  // four-digit groups is valid base64.
  uint32_t state = 12345;
  for (size_t i = 0; i < base64Chars / 4 * 4; ++i) {
    state = state * 1664525u + 1013904223u;
    doc += kAlphabet[state >> 26];
  }
  doc += "</content>\n";
  doc += MethodEnd("StoreDocument");
  doc += kEnvelopeTail;
  return doc;
}

}  // namespace qxsoap::bench
