// Throughput of the binary value encoders: base64 and hex text of byte
// arrays from 1 KB to 10 MB, appended to a new string (the serializer
// runs the same encoders straight into the element's text), and (the
// "Reused" runs) to one string cleared
// between runs, which leaves out the cost of fresh memory: text above the
// allocator's mmap threshold (32 MB, so 10 MB in hex) takes new pages
// from the kernel on every run. Bytes per second here count characters of
// output text (UTF-16 units), not the two bytes each unit takes in memory;
// the "input" counter gives the rate in bytes of data encoded.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "encode/binary_encoding.h"

namespace {

std::vector<BYTE> RandomBytes(size_t count) {
  std::mt19937 random(11);
  std::vector<BYTE> bytes(count);
  for (BYTE& byte : bytes) byte = BYTE(random());
  return bytes;
}

using Encoder = void (*)(std::span<const BYTE>, std::u16string&);

void RunEncoder(benchmark::State& state, Encoder encode, bool reuseText) {
  const std::vector<BYTE> bytes = RandomBytes(size_t(state.range(0)));
  size_t units = 0;
  std::u16string reused;
  for (auto _ : state) {
    std::u16string fresh;
    std::u16string& text = reuseText ? reused : fresh;
    text.clear();
    encode(bytes, text);
    units = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t(units));
  state.counters["input"] = benchmark::Counter(double(state.iterations()) * double(bytes.size()),
                                               benchmark::Counter::kIsRate,
                                               benchmark::Counter::kIs1024);
}

void BM_EncodeBase64(benchmark::State& state) { RunEncoder(state, &qxsoap::AppendBase64, false); }
void BM_EncodeHex(benchmark::State& state) { RunEncoder(state, &qxsoap::AppendHex, false); }
void BM_EncodeBase64Reused(benchmark::State& state) {
  RunEncoder(state, &qxsoap::AppendBase64, true);
}
void BM_EncodeHexReused(benchmark::State& state) { RunEncoder(state, &qxsoap::AppendHex, true); }

BENCHMARK(BM_EncodeBase64)
    ->RangeMultiplier(100)
    ->Range(1'000, 10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeHex)
    ->RangeMultiplier(100)
    ->Range(1'000, 10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeBase64Reused)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeHexReused)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
