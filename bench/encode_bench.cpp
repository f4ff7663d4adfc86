// Throughput of the binary value encoders: base64 and hex text of byte
// arrays from 1 KB to 10 MB, each run appending to a new string as the
// serializer does for an element. Bytes per second here count characters
// of output text (UTF-16 units), not the two bytes each unit takes in
// memory; the "input" counter gives the rate in bytes of data encoded.
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

void RunEncoder(benchmark::State& state, void (*encode)(std::span<const BYTE>, std::u16string&)) {
  const std::vector<BYTE> bytes = RandomBytes(size_t(state.range(0)));
  size_t units = 0;
  for (auto _ : state) {
    std::u16string text;
    encode(bytes, text);
    units = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t(units));
  state.counters["input"] = benchmark::Counter(double(state.iterations()) * double(bytes.size()),
                                               benchmark::Counter::kIsRate,
                                               benchmark::Counter::kIs1024);
}

void BM_EncodeBase64(benchmark::State& state) { RunEncoder(state, &qxsoap::AppendBase64); }
void BM_EncodeHex(benchmark::State& state) { RunEncoder(state, &qxsoap::AppendHex); }

BENCHMARK(BM_EncodeBase64)
    ->RangeMultiplier(100)
    ->Range(1'000, 10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeHex)->RangeMultiplier(100)->Range(1'000, 10'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
