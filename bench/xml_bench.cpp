// Parse and parse+write throughput of the handler's XML reader and writer
// against libxml2 (xmlReadMemory, namespace-aware) and pugixml, on the same
// SOAP requests from ten to a hundred thousand array items. After the
// Google Benchmark output it prints one table: MB/s per parser and size,
// and the handler's ratio to each.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "soap_document.h"
#include "xml/xml_document.h"

namespace {

const std::string& Document(int items) {
  static std::map<int, std::string> documents;
  auto [slot, added] = documents.try_emplace(items);
  if (added) slot->second = qxsoap::bench::MakeRpcRequest(items);
  return slot->second;
}

void ParseQxsoap(const std::string& doc, bool write) {
  qxsoap::XmlDocument document;
  document.Parse(reinterpret_cast<const uint8_t*>(doc.data()), doc.size(), nullptr);
  if (!write) return;
  uint8_t* out = nullptr;
  benchmark::DoNotOptimize(document.Write(&out));
  std::free(out);
}

void ParseLibxml2(const std::string& doc, bool write) {
  xmlDocPtr document =
      xmlReadMemory(doc.data(), int(doc.size()), nullptr, nullptr, XML_PARSE_NONET);
  if (!document) std::abort();
  if (write) {
    xmlChar* out = nullptr;
    int length = 0;
    xmlDocDumpMemory(document, &out, &length);
    benchmark::DoNotOptimize(length);
    xmlFree(out);
  }
  xmlFreeDoc(document);
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override {
    out.append(static_cast<const char*>(data), size);
  }
};

void ParsePugixml(const std::string& doc, bool write) {
  pugi::xml_document document;
  if (!document.load_buffer(doc.data(), doc.size())) std::abort();
  if (!write) return;
  StringWriter writer;
  document.save(writer, "", pugi::format_raw);
  benchmark::DoNotOptimize(writer.out.size());
}

struct Parser {
  const char* name;
  void (*run)(const std::string& doc, bool write);
};
constexpr Parser kParsers[] = {
    {"qxsoap", ParseQxsoap}, {"libxml2", ParseLibxml2}, {"pugixml", ParsePugixml}};
constexpr int kItemCounts[] = {10, 100, 1000, 10000, 100000};
constexpr const char* kModes[] = {"parse", "parse+write"};

// Collects bytes per second by "mode/parser" and item count while the
// console reporter prints as usual.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, std::map<int, double>> mbPerSecond;

  // With --benchmark_repetitions the table takes each median, otherwise
  // the single run.
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.error_occurred || !(single || median)) continue;
      const double rate = run.counters.at("bytes_per_second");
      mbPerSecond[run.run_name.function_name][std::stoi(run.run_name.args)] = rate / 1e6;
    }
  }

  void PrintTable() const {
    for (const char* mode : kModes) {
      std::printf("\n%s, MB/s (input bytes)\n", mode);
      std::printf("%8s %10s %10s %10s %10s %12s %12s %10s\n", "items", "KB", "qxsoap", "libxml2",
                  "pugixml", "vs libxml2", "vs pugixml", "qx ns/B");
      for (int items : kItemCounts) {
        const double qx = Rate(mode, "qxsoap", items), lx = Rate(mode, "libxml2", items),
                     pg = Rate(mode, "pugixml", items);
        std::printf("%8d %10.1f %10.1f %10.1f %10.1f %11.2fx %11.2fx %10.2f\n", items,
                    Document(items).size() / 1024.0, qx, lx, pg, qx / lx, qx / pg, 1e3 / qx);
      }
    }
  }

 private:
  double Rate(const char* mode, const char* parser, int items) const {
    auto byName = mbPerSecond.find(std::string(mode) + "/" + parser);
    if (byName == mbPerSecond.end()) return 0;
    auto byItems = byName->second.find(items);
    return byItems == byName->second.end() ? 0 : byItems->second;
  }
};

}  // namespace

int main(int argc, char** argv) {
  xmlInitParser();
  for (const char* mode : kModes) {
    const bool write = std::string(mode) != "parse";
    for (const Parser& parser : kParsers) {
      auto* benchmark = benchmark::RegisterBenchmark(
          (std::string(mode) + "/" + parser.name).c_str(),
          [parser, write](benchmark::State& state) {
            const std::string& doc = Document(int(state.range(0)));
            for (auto _ : state) parser.run(doc, write);
            state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
          });
      for (int items : kItemCounts) benchmark->Arg(items);
      benchmark->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::Initialize(&argc, argv);
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable();
  benchmark::Shutdown();
  xmlCleanupParser();
  return 0;
}
