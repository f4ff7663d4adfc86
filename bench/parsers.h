// The parsers the benchmark compares, behind one interface: the handler's
// reader, libxml2 building a tree and streaming SAX2 events, expat, and
// pugixml. Streaming parsers get empty handlers, so they measure the cost
// of reading alone.
#ifndef QXSOAP_BENCH_PARSERS_H_
#define QXSOAP_BENCH_PARSERS_H_

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace qxsoap::bench {

// One parser. Tree parsers keep the last tree until Release or the next
// Parse, so a caller can write it out or measure the memory it holds.
class Parser {
 public:
  virtual ~Parser() = default;

  // Hands `doc` over before any measured work, for a parser that reads
  // from a copy of its own; the others ignore it.
  virtual void Prepare(std::string_view doc) { (void)doc; }

  // Parses `doc`. Returns false when the parser rejects it, leaving a
  // description in Error().
  virtual bool Parse(std::string_view doc) = 0;

  // Writes the tree held out to memory (UTF-8, no indentation added),
  // frees the output and returns its length. Only for tree parsers.
  virtual size_t Write() = 0;

  // Frees the tree held, if any.
  virtual void Release() = 0;

  const std::string& Error() const { return error_; }

 protected:
  std::string error_;
};

struct ParserKind {
  const char* name;   // e.g. "qxsoap", "libxml2-sax2"
  bool buildsTree;    // true: Write works, and the parse+write mode applies
  bool soapRequests;  // true: reads only the documents that are SOAP requests
  std::unique_ptr<Parser> (*make)();
};

// Every parser, in the order the summary lists them; the handler's reader
// first, then its Deserialize, then Deserialize and ProcessRPC.
std::span<const ParserKind> AllParsers();

// The kind named `name`, or nullptr.
const ParserKind* FindParser(std::string_view name);

// Parses `doc` with `parser` and aborts the run, naming the parser and the
// document, when the parser rejects it: a benchmark over a document some
// parser cannot read compares nothing.
void ParseOrAbort(Parser& parser, const ParserKind& kind, std::string_view documentName,
                  std::string_view doc);

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_PARSERS_H_
