// Adapters from each compared parser to the benchmark's Parser interface.
#include "parsers.h"

#include <expat.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <pugixml.hpp>

#include "deserializer.h"
#include "xml/xml_document.h"

namespace qxsoap::bench {

namespace {

// The handler's reader, building its tree without a content handler.
class QxsoapParser : public Parser {
 public:
  bool Parse(std::string_view doc) override {
    document_.emplace();
    try {
      document_->Parse(reinterpret_cast<const uint8_t*>(doc.data()), doc.size(), nullptr);
      return true;
    } catch (int line) {
      error_ = "malformed at line " + std::to_string(line);
      return false;
    }
  }

  size_t Write() override {
    uint8_t* out = nullptr;
    const size_t length = document_->Write(&out);
    std::free(out);
    return length;
  }

  void Release() override { document_.reset(); }

 private:
  std::optional<XmlDocument> document_;
};

// libxml2 building its namespace-aware tree.
class Libxml2DomParser : public Parser {
 public:
  ~Libxml2DomParser() override { Release(); }

  bool Parse(std::string_view doc) override {
    Release();
    document_ = xmlReadMemory(doc.data(), int(doc.size()), nullptr, nullptr, XML_PARSE_NONET);
    if (!document_) error_ = "xmlReadMemory failed (libxml2 printed why)";
    return document_ != nullptr;
  }

  // UTF-8 whatever the input's encoding, as the other writers produce.
  size_t Write() override {
    xmlChar* out = nullptr;
    int length = 0;
    xmlDocDumpMemoryEnc(document_, &out, &length, "UTF-8");
    xmlFree(out);
    return size_t(length);
  }

  void Release() override {
    if (document_) xmlFreeDoc(document_);
    document_ = nullptr;
  }

 private:
  xmlDocPtr document_ = nullptr;
};

void IgnoreStartElementNs(void*, const xmlChar*, const xmlChar*, const xmlChar*, int,
                          const xmlChar**, int, int, const xmlChar**) {}
void IgnoreEndElementNs(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
void IgnoreCharacters(void*, const xmlChar*, int) {}

// libxml2 streaming SAX2 events, namespaces resolved, to empty handlers.
class Libxml2SaxParser : public Parser {
 public:
  Libxml2SaxParser() {
    xmlSAXVersion(&handler_, 2);
    handler_.startElementNs = IgnoreStartElementNs;
    handler_.endElementNs = IgnoreEndElementNs;
    handler_.characters = IgnoreCharacters;
    // Whitespace between elements would otherwise reach the tree builder's
    // handler, which xmlSAXVersion installed for it.
    handler_.ignorableWhitespace = IgnoreCharacters;
    handler_.initialized = XML_SAX2_MAGIC;
  }

  bool Parse(std::string_view doc) override {
    const int status = xmlSAXUserParseMemory(&handler_, nullptr, doc.data(), int(doc.size()));
    if (status != 0) error_ = "xmlSAXUserParseMemory returned " + std::to_string(status);
    return status == 0;
  }

  size_t Write() override { std::abort(); }
  void Release() override {}

 private:
  xmlSAXHandler handler_{};
};

void XMLCALL IgnoreStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL IgnoreEnd(void*, const XML_Char*) {}
void XMLCALL IgnoreText(void*, const XML_Char*, int) {}

// expat with namespace processing, to empty handlers.
class ExpatParser : public Parser {
 public:
  bool Parse(std::string_view doc) override {
    XML_Parser parser = XML_ParserCreateNS(nullptr, ' ');
    XML_SetElementHandler(parser, IgnoreStart, IgnoreEnd);
    XML_SetCharacterDataHandler(parser, IgnoreText);
    const bool parsed = XML_Parse(parser, doc.data(), int(doc.size()), XML_TRUE) == XML_STATUS_OK;
    if (!parsed)
      error_ = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
               std::to_string(XML_GetCurrentLineNumber(parser));
    XML_ParserFree(parser);
    return parsed;
  }

  size_t Write() override { std::abort(); }
  void Release() override {}
};

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

// pugixml with its default options; it does not resolve namespaces.
class PugixmlParser : public Parser {
 public:
  bool Parse(std::string_view doc) override {
    document_.emplace();
    const pugi::xml_parse_result result = document_->load_buffer(doc.data(), doc.size());
    if (!result)
      error_ = std::string(result.description()) + " at offset " + std::to_string(result.offset);
    return bool(result);
  }

  size_t Write() override {
    StringWriter writer;
    document_->save(writer, "", pugi::format_raw);
    return writer.out.size();
  }

  void Release() override { document_.reset(); }

 private:
  std::optional<pugi::xml_document> document_;
};

template <typename Adapter>
std::unique_ptr<Parser> Make() {
  return std::make_unique<Adapter>();
}

constexpr ParserKind kParsers[] = {
    {"qxsoap", true, false, Make<QxsoapParser>},
    {"deserialize", false, true, MakeDeserializer},
    {"deserialize+bind", false, true, MakeBinder},
    {"libxml2-dom", true, false, Make<Libxml2DomParser>},
    {"libxml2-sax2", false, false, Make<Libxml2SaxParser>},
    {"expat", false, false, Make<ExpatParser>},
    {"pugixml", true, false, Make<PugixmlParser>},
};

}  // namespace

std::span<const ParserKind> AllParsers() { return kParsers; }

const ParserKind* FindParser(std::string_view name) {
  for (const ParserKind& kind : kParsers)
    if (name == kind.name) return &kind;
  return nullptr;
}

void ParseOrAbort(Parser& parser, const ParserKind& kind, std::string_view documentName,
                  std::string_view doc) {
  if (parser.Parse(doc)) return;
  std::fprintf(stderr, "xml_bench: %s rejects %.*s: %s\n", kind.name, int(documentName.size()),
               documentName.data(), parser.Error().c_str());
  std::abort();
}

}  // namespace qxsoap::bench
