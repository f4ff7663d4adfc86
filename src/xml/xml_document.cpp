// The document object: decoding, parsing into the held root, writing out.
#include "xml/xml_document.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

#include "xml/text_decoding.h"
#include "xml/utf8_encoding.h"
#include "xml/xml_reader.h"
#include "xml/xml_writer.h"

namespace qxsoap {

namespace {

constexpr std::u16string_view kXmlDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// The first block of a parsed tree's memory: about what the nodes of a
// document of `inputSize` bytes or units take, so a small message fits one
// small block and a large one starts with whole blocks.
std::unique_ptr<TreeMemory> NewTreeMemory(size_t inputSize) {
  return std::make_unique<TreeMemory>(inputSize * 2);
}

}  // namespace

void XmlDocument::Parse(const uint8_t* bytes, size_t byteCount, XmlContentHandler* handler) {
  SetRoot(nullptr);
  auto memory = NewTreeMemory(byteCount);
  const DecodedText decoded = DecodeInput(bytes, bytes ? byteCount : 0, *memory);
  ParseDecoded(decoded, std::move(memory), handler);
}

void XmlDocument::ParseText(std::u16string_view text, XmlContentHandler* handler) {
  SetRoot(nullptr);
  auto memory = NewTreeMemory(text.size());
  const DecodedText copied{memory->Copy(text), 0};
  ParseDecoded(copied, std::move(memory), handler);
}

void XmlDocument::ParseDecoded(const DecodedText& decoded, std::unique_ptr<TreeMemory> memory,
                               XmlContentHandler* handler) {
  // Views into the text keep their length in 32 bits.
  if (decoded.text.size() > UINT32_MAX) {
    error_ = {1, 1, "a document under 4 G characters"};
    if (handler) handler->ParseError(1);
    throw 1;
  }
  XmlReader(decoded.text, decoded.start, std::move(memory), handler, root_, error_).ReadDocument();
  text_ = decoded.text;
}

int XmlDocument::LineAt(const char16_t* position) const {
  if (!root_ || position < text_.data() || position > text_.data() + text_.size()) return 0;
  const auto feeds = std::count(text_.data(), position, u'\n');
  return feeds >= INT_MAX ? INT_MAX : int(feeds) + 1;
}

size_t XmlDocument::Write(uint8_t** buffer) const {
  if (!root_) return 0;
  try {
    // Encoded as it is written: no 16-bit copy of the document is made.
    Utf8Buffer text;
    text.Append(kXmlDeclaration);
    WriteElement(*root_, nullptr, text);
    return text.Release(buffer);
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
