// Collects the benchmark's results and prints the closing summary: per
// document and parser the throughput, the time per input byte, the
// handler's speed ratio and, after a memory pass, the peak memory added.
#ifndef QXSOAP_BENCH_SUMMARY_TABLE_H_
#define QXSOAP_BENCH_SUMMARY_TABLE_H_

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qxsoap::bench {

inline constexpr std::string_view kParseMode = "parse";
inline constexpr std::string_view kParseWriteMode = "parse+write";

// "mode/parser/document": the name each benchmark is registered under.
std::string BenchmarkName(std::string_view mode, std::string_view parser,
                          std::string_view document);

struct Results {
  std::map<std::string, double> mbPerSecond;  // by BenchmarkName, input bytes
  std::map<std::string, int64_t> peakBytes;   // by BenchmarkName in the parse mode
};

// Prints runs as the console reporter does and keeps each one's MB/s: the
// median with --benchmark_repetitions, otherwise the single run.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  Results results;
};

// Prints one row per document and parser that has any result, in the order
// of the document and parser lists; cells without a result print "-".
// Memory columns appear only when `results` holds memory figures.
void PrintSummary(const Results& results);

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_SUMMARY_TABLE_H_
