// The benchmark's closing table.
#include "summary_table.h"

#include <cstdio>
#include <optional>

#include "documents.h"
#include "parsers.h"

namespace qxsoap::bench {

namespace {

template <typename Value>
std::optional<double> Lookup(const std::map<std::string, Value>& values, const std::string& key) {
  auto found = values.find(key);
  if (found == values.end()) return std::nullopt;
  return double(found->second);
}

std::optional<double> Ratio(std::optional<double> numerator, std::optional<double> denominator) {
  if (!numerator || !denominator) return std::nullopt;
  return *numerator / *denominator;
}

// A right-aligned number, or "-" when there is none.
void PrintCell(std::optional<double> value, int width, int precision) {
  if (value)
    std::printf(" %*.*f", width, precision, *value);
  else
    std::printf(" %*s", width, "-");
}

// One parser's figures on one document, and the handler's to compare;
// nullopt where that benchmark did not run.
struct Row {
  std::optional<double> parse, write, peak, qxsoapParse, qxsoapWrite, qxsoapPeak;
};

Row RowFor(const Results& results, std::string_view parser, std::string_view document) {
  auto rate = [&](std::string_view mode, std::string_view who) {
    return Lookup(results.mbPerSecond, BenchmarkName(mode, who, document));
  };
  auto peak = [&](std::string_view who) {
    return Lookup(results.peakBytes, BenchmarkName(kParseMode, who, document));
  };
  return {rate(kParseMode, parser), rate(kParseWriteMode, parser), peak(parser),
          rate(kParseMode, "qxsoap"), rate(kParseWriteMode, "qxsoap"), peak("qxsoap")};
}

}  // namespace

std::string BenchmarkName(std::string_view mode, std::string_view parser,
                          std::string_view document) {
  return std::string(mode) + "/" + std::string(parser) + "/" + std::string(document);
}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    if (run.error_occurred || !(single || median)) continue;
    results.mbPerSecond[run.run_name.function_name] = run.counters.at("bytes_per_second") / 1e6;
  }
}

void PrintSummary(const Results& results) {
  const bool memory = !results.peakBytes.empty();
  std::printf("\nMB/s of input bytes; qx/this: the handler's MB/s over this parser's (for\n"
              "deserialize and deserialize+bind: its time over the bare parse's)\n");
  if (memory) {
    std::printf("peak MB: VmHWM growth of one parse; x doc: that over the document; x qx: that\n"
                "over the bare parse's\n");
  }
  std::printf("%-20s %10s %-13s %10s %7s %8s %10s %8s", "document", "KB", "parser", "parse MB/s",
              "ns/B", "qx/this", "p+w MB/s", "qx/this");
  if (memory) std::printf(" %9s %7s %7s", "peak MB", "x doc", "x qx");
  std::printf("\n");
  for (const DocumentKind& document : AllDocuments()) {
    for (const ParserKind& parser : AllParsers()) {
      const Row row = RowFor(results, parser.name, document.name);
      if (!row.parse && !row.write && !row.peak) continue;
      const double documentBytes = double(CachedDocument(document.name).size());
      std::printf("%-20s %10.1f %-13s", document.name, documentBytes / 1e3, parser.name);
      PrintCell(row.parse, 10, 1);
      PrintCell(Ratio(1e3, row.parse), 7, 2);
      PrintCell(Ratio(row.qxsoapParse, row.parse), 8, 2);
      PrintCell(row.write, 10, 1);
      PrintCell(Ratio(row.qxsoapWrite, row.write), 8, 2);
      if (memory) {
        PrintCell(Ratio(row.peak, 1e6), 9, 2);
        PrintCell(Ratio(row.peak, documentBytes), 7, 2);
        PrintCell(Ratio(row.peak, row.qxsoapPeak), 7, 2);
      }
      std::printf("\n");
    }
  }
}

}  // namespace qxsoap::bench
