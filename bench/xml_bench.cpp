// Parse and parse+write throughput of the handler's XML reader and writer
// against libxml2 (tree and SAX2), expat and pugixml on the same documents,
// and of the handler's Deserialize on the SOAP requests among them, then a
// summary table. With --memory, a fresh process per parser and
// document also measures the peak memory one parse adds.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <libxml/parser.h>

#include <cstring>
#include <string>

#include "documents.h"
#include "parsers.h"
#include "peak_memory.h"
#include "summary_table.h"

namespace {

using namespace qxsoap::bench;

constexpr const char* kMemoryFlag = "--memory";

// Removes `flag` from the arguments; true when it was there.
bool TakeFlag(int& argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) != 0) continue;
    for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    return true;
  }
  return false;
}

void RegisterBenchmarks() {
  for (std::string_view mode : {kParseMode, kParseWriteMode}) {
    const bool write = mode == kParseWriteMode;
    for (const ParserKind& parser : AllParsers()) {
      if (write && !parser.buildsTree) continue;
      for (const DocumentKind& document : AllDocuments()) {
        if (parser.soapRequests && !document.soapRequest) continue;
        benchmark::RegisterBenchmark(
            BenchmarkName(mode, parser.name, document.name).c_str(),
            [&parser, &document, write](benchmark::State& state) {
              const std::string& doc = CachedDocument(document.name);
              std::unique_ptr<Parser> instance = parser.make();
              instance->Prepare(doc);
              // One untimed parse first: a run of a single iteration (large
              // documents) then does not pay for first-touch page faults.
              ParseOrAbort(*instance, parser, document.name, doc);
              instance->Release();
              for (auto _ : state) {
                ParseOrAbort(*instance, parser, document.name, doc);
                if (write) benchmark::DoNotOptimize(instance->Write());
                instance->Release();
              }
              state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
            })
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
}

// Measures peak memory for each parser and document whose parse benchmark ran.
void MeasureWhatRan(Results& results) {
  for (const DocumentKind& document : AllDocuments()) {
    for (const ParserKind& parser : AllParsers()) {
      const std::string name = BenchmarkName(kParseMode, parser.name, document.name);
      if (results.mbPerSecond.contains(name))
        results.peakBytes[name] = MeasurePeakMemory(parser.name, document.name);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  xmlInitParser();
  if (argc == 4 && argv[1] == kPeakMemoryFlag) return ReportPeakMemory(argv[2], argv[3]);
  // Freed memory stays with the process, as `qxsoap serve` keeps it: the
  // values a bind makes are heap blocks, and without this every repetition
  // of a large request faults their pages in again, which this machine's
  // kernel makes cost more than the binding itself. Peak memory is
  // measured in child processes, before this.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  const bool memory = TakeFlag(argc, argv, kMemoryFlag);
  RegisterBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (memory) MeasureWhatRan(reporter.results);
  PrintSummary(reporter.results);
  benchmark::Shutdown();
  xmlCleanupParser();
  return 0;
}
