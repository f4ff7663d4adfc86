// The document object: decoding, parsing into the held root, writing out.
#include "xml/xml_document.h"

#include <new>

#include "xml/text_decoding.h"
#include "xml/utf8_encoding.h"
#include "xml/xml_reader.h"
#include "xml/xml_writer.h"

namespace qxsoap {

namespace {
constexpr std::u16string_view kXmlDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
}  // namespace

void XmlDocument::Parse(const uint8_t* bytes, size_t byteCount, XmlContentHandler* handler) {
  const DecodedText decoded = DecodeInput(bytes, bytes ? byteCount : 0);
  ParseDecoded(decoded.text, decoded.start, handler);
}

void XmlDocument::ParseText(std::u16string_view text, XmlContentHandler* handler) {
  ParseDecoded(text, 0, handler);
}

void XmlDocument::ParseDecoded(std::u16string_view text, size_t start, XmlContentHandler* handler) {
  XmlReader(text, start, handler, root_).ReadDocument();
}

size_t XmlDocument::Write(uint8_t** buffer) const {
  if (!root_) return 0;
  try {
    std::u16string text(kXmlDeclaration);
    WriteElement(*root_, nullptr, text);
    return EncodeUtf8(text, buffer);
  } catch (const std::bad_alloc&) {
    *buffer = nullptr;
    return 0;
  }
}

std::unique_ptr<XmlElement> ParseFragment(std::u16string_view text) {
  XmlDocument document;
  try {
    document.ParseText(text, nullptr);
  } catch (int) {
    return nullptr;
  }
  return document.DetachRoot();
}

}  // namespace qxsoap
