// Measures the memory one parse adds, one fresh process per measurement.
#include "peak_memory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "documents.h"
#include "parsers.h"

namespace qxsoap::bench {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "xml_bench: %s\n", what.c_str());
  std::abort();
}

// The "VmHWM:" line of /proc/self/status, in bytes.
int64_t PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stoll(line.substr(6)) * 1024;  // given in kB
  Fail("no VmHWM in /proc/self/status");
}

// Writing 5 to clear_refs sets the high-water mark to the current resident
// size, so what building the document peaked at is not counted.
void ResetPeakResident() {
  std::ofstream clearRefs("/proc/self/clear_refs");
  clearRefs << "5";
  clearRefs.close();
  if (!clearRefs) Fail("cannot reset VmHWM through /proc/self/clear_refs");
}

std::string ReadAll(int fd) {
  std::string out;
  char chunk[256];
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;) out.append(chunk, size_t(got));
  return out;
}

}  // namespace

int64_t MeasurePeakMemory(std::string_view parser, std::string_view document) {
  const std::string parserName(parser), documentName(document), flag(kPeakMemoryFlag);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) Fail("pipe failed");
  const pid_t child = fork();
  if (child < 0) Fail("fork failed");
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execl("/proc/self/exe", "xml_bench", flag.c_str(), parserName.c_str(), documentName.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  const std::string reported = ReadAll(pipeEnds[0]);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || reported.empty())
    Fail("peak memory of " + parserName + " on " + documentName + ": the measuring process failed");
  return std::stoll(reported);
}

int ReportPeakMemory(std::string_view parserName, std::string_view documentName) {
  const ParserKind* kind = FindParser(parserName);
  const DocumentKind* documentKind = FindDocument(documentName);
  if (!kind || !documentKind)
    Fail("unknown parser or document for " + std::string(kPeakMemoryFlag));
  std::unique_ptr<Parser> parser = kind->make();
  std::string doc = documentKind->make();
  doc.shrink_to_fit();
  parser->Prepare(doc);
  malloc_trim(0);
  ResetPeakResident();
  const int64_t before = PeakResidentBytes();
  ParseOrAbort(*parser, *kind, documentName, doc);
  const int64_t after = PeakResidentBytes();
  parser->Release();
  std::printf("%lld\n", static_cast<long long>(after - before));
  return 0;
}

}  // namespace qxsoap::bench
