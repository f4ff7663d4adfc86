// The benchmark's documents by name: SOAP requests of several shapes and
// sizes, a namespace-heavy document, and UTF-16 copies of one request.
#ifndef QXSOAP_BENCH_DOCUMENTS_H_
#define QXSOAP_BENCH_DOCUMENTS_H_

#include <span>
#include <string>
#include <string_view>

namespace qxsoap::bench {

struct DocumentKind {
  const char* name;       // e.g. "structs-1k", "strings-100k", "structs-1k-utf16le"
  bool soapRequest;       // a SOAP 1.1 request that Deserialize accepts
  std::string (*make)();  // builds a fresh copy of the document's bytes
};

// Every document, in the order the summary lists them.
std::span<const DocumentKind> AllDocuments();

// The kind named `name`, or nullptr.
const DocumentKind* FindDocument(std::string_view name);

// The bytes of the document named `name` (which must exist), built on first
// use and kept for the rest of the run. Not thread-safe.
const std::string& CachedDocument(std::string_view name);

// A document whose root declares `prefixes` prefixes and holds as many
// children, each declaring one more prefix for itself and using one of the
// root's in an attribute.
std::string MakeNamespacesDocument(int prefixes);

// `utf8` as UTF-16 with a byte order mark (FF FE little-endian, FE FF
// big-endian); an XML declaration naming UTF-8 is changed to name UTF-16.
std::string ToUtf16(std::string_view utf8, bool bigEndian);

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_DOCUMENTS_H_
