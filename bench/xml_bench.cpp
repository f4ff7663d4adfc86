// Parse and parse+write throughput of the handler's XML reader and writer
// against libxml2 (tree and SAX2), expat and pugixml on the same documents,
// then a summary table.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <string>

#include "documents.h"
#include "parsers.h"
#include "summary_table.h"

namespace {

using namespace qxsoap::bench;

void RegisterBenchmarks() {
  for (std::string_view mode : {kParseMode, kParseWriteMode}) {
    const bool write = mode == kParseWriteMode;
    for (const ParserKind& parser : AllParsers()) {
      if (write && !parser.buildsTree) continue;
      for (const DocumentKind& document : AllDocuments()) {
        benchmark::RegisterBenchmark(
            BenchmarkName(mode, parser.name, document.name).c_str(),
            [&parser, &document, write](benchmark::State& state) {
              const std::string& doc = CachedDocument(document.name);
              std::unique_ptr<Parser> instance = parser.make();
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

}  // namespace

int main(int argc, char** argv) {
  xmlInitParser();
  RegisterBenchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter.results);
  benchmark::Shutdown();
  xmlCleanupParser();
  return 0;
}
