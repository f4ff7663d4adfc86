// The catalogue of benchmark documents and the shapes that are not SOAP
// requests.
#include "documents.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "soap_document.h"

namespace qxsoap::bench {

namespace {

constexpr DocumentKind kDocuments[] = {
    {"structs-10", true, [] { return MakeStructsRequest(10); }},
    {"structs-1k", true, [] { return MakeStructsRequest(1'000); }},
    {"structs-100k", true, [] { return MakeStructsRequest(100'000); }},
    {"strings-100k", true, [] { return MakeRpcRequest(100'000); }},
    {"base64-10MB", true, [] { return MakeBase64Request(10u << 20); }},
    {"structs-1k-utf16le", true, [] { return ToUtf16(MakeStructsRequest(1'000), false); }},
    {"structs-1k-utf16be", true, [] { return ToUtf16(MakeStructsRequest(1'000), true); }},
    {"namespaces-100", false, [] { return MakeNamespacesDocument(100); }},
    {"namespaces-1k", false, [] { return MakeNamespacesDocument(1'000); }},
};

void AppendUnit(std::string& out, uint16_t unit, bool bigEndian) {
  const char high = char(unit >> 8), low = char(unit & 0xFF);
  out += bigEndian ? high : low;
  out += bigEndian ? low : high;
}

// Decodes the UTF-8 sequence at `at` (the generators write only well-formed
// UTF-8) and advances past it.
uint32_t DecodeUtf8(std::string_view text, size_t& at) {
  const auto lead = uint8_t(text[at++]);
  if (lead < 0x80) return lead;
  const int trailing = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  uint32_t point = lead & (0x3F >> trailing);
  for (int i = 0; i < trailing; ++i) point = point << 6 | (uint8_t(text[at++]) & 0x3F);
  return point;
}

}  // namespace

std::span<const DocumentKind> AllDocuments() { return kDocuments; }

const DocumentKind* FindDocument(std::string_view name) {
  for (const DocumentKind& kind : kDocuments)
    if (name == kind.name) return &kind;
  return nullptr;
}

const std::string& CachedDocument(std::string_view name) {
  static std::map<std::string, std::string, std::less<>> documents;
  if (auto found = documents.find(name); found != documents.end()) return found->second;
  const DocumentKind* kind = FindDocument(name);
  if (!kind) {
    std::fprintf(stderr, "xml_bench: no document named %.*s\n", int(name.size()), name.data());
    std::abort();
  }
  return documents.emplace(name, kind->make()).first->second;
}

std::string MakeNamespacesDocument(int prefixes) {
  std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<catalog";
  for (int i = 0; i < prefixes; ++i) {
    const std::string n = std::to_string(i);
    doc += "\n    xmlns:p" + n + "=\"urn:example:catalog:scope:" + n + "\"";
  }
  doc += ">\n";
  for (int i = 0; i < prefixes; ++i) {
    const std::string n = std::to_string(i), used = std::to_string((i * 7) % prefixes);
    doc += "  <e" + n + ":entry xmlns:e" + n + "=\"urn:example:catalog:entry:" + n + "\" p" + used +
           ":ref=\"r" + n + "\">value " + n + "</e" + n + ":entry>\n";
  }
  doc += "</catalog>\n";
  return doc;
}

std::string ToUtf16(std::string_view utf8, bool bigEndian) {
  constexpr std::string_view kUtf8Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  std::string text(utf8);
  if (text.starts_with(kUtf8Declaration))
    text.replace(0, kUtf8Declaration.size(), "<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
  std::string out;
  out.reserve(2 + text.size() * 2);
  AppendUnit(out, 0xFEFF, bigEndian);
  for (size_t at = 0; at < text.size();) {
    const uint32_t point = DecodeUtf8(text, at);
    if (point < 0x10000) {
      AppendUnit(out, uint16_t(point), bigEndian);
      continue;
    }
    AppendUnit(out, uint16_t(0xD800 + ((point - 0x10000) >> 10)), bigEndian);
    AppendUnit(out, uint16_t(0xDC00 + ((point - 0x10000) & 0x3FF)), bigEndian);
  }
  return out;
}

}  // namespace qxsoap::bench
