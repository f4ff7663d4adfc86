// Peak memory a parser adds while it parses one document, measured as the
// growth of the resident set's high-water mark (VmHWM) in a fresh process,
// so that nothing freed by earlier work can be reused and hide the cost.
#ifndef QXSOAP_BENCH_PEAK_MEMORY_H_
#define QXSOAP_BENCH_PEAK_MEMORY_H_

#include <cstdint>
#include <string_view>

namespace qxsoap::bench {

// The hidden command-line flag that turns the benchmark binary into the
// measuring process: `xml_bench --peak-memory-of PARSER DOCUMENT`.
inline constexpr std::string_view kPeakMemoryFlag = "--peak-memory-of";

// Runs this binary anew with kPeakMemoryFlag for the parser and document
// named and returns the bytes it reports. Aborts the run when the child
// fails.
int64_t MeasurePeakMemory(std::string_view parser, std::string_view document);

// The child's side: builds the document and hands it to the parser's
// Prepare (a copy the parser keeps is input, not parse cost), returns spare
// heap memory to the system and resets VmHWM to the current resident size,
// parses once and reads VmHWM again while the tree is still alive; prints
// the growth in bytes on stdout. Returns the process exit status.
int ReportPeakMemory(std::string_view parser, std::string_view document);

}  // namespace qxsoap::bench

#endif  // QXSOAP_BENCH_PEAK_MEMORY_H_
