// Throughput of the binary value encoders: base64 and hex text of byte
// arrays from 1 KB to 10 MB, written as 16-bit units into a new string
// (the text a tree holds when it is read before it is written) and as
// bytes (what the writer puts straight into the UTF-8 output), and (the
// "Reused" runs) as units into one string cleared between runs, which
// leaves out the cost of fresh memory: text above the allocator's mmap
// threshold (32 MB, so 10 MB in hex) takes new pages from the kernel on
// every run. Bytes per second here count characters of output text, not
// the bytes each takes in memory; the "input" counter gives the rate in
// bytes of data encoded.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "encode/binary_encoding.h"

namespace {

std::vector<BYTE> RandomBytes(size_t count) {
  std::mt19937 random(11);
  std::vector<BYTE> bytes(count);
  for (BYTE& byte : bytes) byte = BYTE(random());
  return bytes;
}

using qxsoap::BinaryText;

// `Text` is std::u16string (units) or std::string (bytes).
template <typename Text>
void RunEncoder(benchmark::State& state, BinaryText::Form form, bool reuseText) {
  const std::vector<BYTE> bytes = RandomBytes(size_t(state.range(0)));
  const BinaryText encoder(form, bytes);
  Text reused;
  for (auto _ : state) {
    Text fresh;
    Text& text = reuseText ? reused : fresh;
    text.resize(encoder.Length());
    if constexpr (std::is_same_v<Text, std::u16string>) {
      encoder.Write(text.data());
    } else {
      encoder.Write(reinterpret_cast<BYTE*>(text.data()));
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t(encoder.Length()));
  state.counters["input"] = benchmark::Counter(double(state.iterations()) * double(bytes.size()),
                                               benchmark::Counter::kIsRate,
                                               benchmark::Counter::kIs1024);
}

constexpr BinaryText::Form kBase64 = BinaryText::Form::kBase64;
constexpr BinaryText::Form kHex = BinaryText::Form::kHex;

void BM_EncodeBase64(benchmark::State& state) { RunEncoder<std::u16string>(state, kBase64, false); }
void BM_EncodeHex(benchmark::State& state) { RunEncoder<std::u16string>(state, kHex, false); }
void BM_EncodeBase64Bytes(benchmark::State& state) { RunEncoder<std::string>(state, kBase64, false); }
void BM_EncodeHexBytes(benchmark::State& state) { RunEncoder<std::string>(state, kHex, false); }
void BM_EncodeBase64Reused(benchmark::State& state) { RunEncoder<std::u16string>(state, kBase64, true); }
void BM_EncodeHexReused(benchmark::State& state) { RunEncoder<std::u16string>(state, kHex, true); }

// Sizes from 1 KB to 10 MB.
void AllSizes(benchmark::internal::Benchmark* run) {
  run->RangeMultiplier(100)->Range(1'000, 10'000'000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_EncodeBase64)->Apply(AllSizes);
BENCHMARK(BM_EncodeHex)->Apply(AllSizes);
BENCHMARK(BM_EncodeBase64Bytes)->Apply(AllSizes);
BENCHMARK(BM_EncodeHexBytes)->Apply(AllSizes);
BENCHMARK(BM_EncodeBase64Reused)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeHexReused)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
