// Throughput of the built-in value decoders: base64 and hex text of binary
// values from 1 KB to 10 MB, on one line and in MIME lines of 76 (a blank
// every 76 units sends each line end through the careful path), and the
// type-name lookup. Bytes per second here count characters of input text
// (UTF-16 units), not the two bytes each unit takes in memory.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "decode/binary_text.h"
#include "decode/simple_types.h"
#include "qxcom/owned.h"

namespace {

using qxsoap::DecodeBase64Text;
using qxsoap::DecodeHexText;

constexpr std::u16string_view kBase64Digits =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::u16string_view kHexDigits = u"0123456789abcdef";
constexpr size_t kMimeLine = 76;

// Valid text of about `units` characters: random digits in whole groups of
// `groupSize`, "\r\n" after every `lineLength` digits (0: none), and for
// base64 one padding unit at the end.
std::u16string MakeText(std::u16string_view digits, size_t units, size_t lineLength,
                        size_t groupSize, bool padded) {
  std::mt19937 random(11);
  std::u16string text;
  size_t digitCount = units / groupSize * groupSize;
  for (size_t i = 0; i < digitCount; ++i) {
    text += padded && i + 1 == digitCount ? u'=' : digits[random() % digits.size()];
    if (lineLength != 0 && (i + 1) % lineLength == 0) text += u"\r\n";
  }
  return text;
}

void RunDecoder(benchmark::State& state, HRESULT (*decode)(std::u16string_view, SAFEARRAY**),
                const std::u16string& text) {
  for (auto _ : state) {
    SAFEARRAY* bytes = nullptr;
    if (decode(text, &bytes) != S_OK) {
      state.SkipWithError("the text was refused");
      return;
    }
    qxcom::SafeArrayPtr owner(bytes);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}

void BM_Base64(benchmark::State& state) {
  RunDecoder(state, &DecodeBase64Text, MakeText(kBase64Digits, size_t(state.range(0)), 0, 4, true));
}
void BM_Base64Mime(benchmark::State& state) {
  RunDecoder(state, &DecodeBase64Text,
             MakeText(kBase64Digits, size_t(state.range(0)), kMimeLine, 4, true));
}
void BM_Hex(benchmark::State& state) {
  RunDecoder(state, &DecodeHexText, MakeText(kHexDigits, size_t(state.range(0)), 0, 2, false));
}

BENCHMARK(BM_Base64)->RangeMultiplier(100)->Range(1'000, 10'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Base64Mime)
    ->RangeMultiplier(100)
    ->Range(1'000, 10'000'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Hex)->RangeMultiplier(100)->Range(1'000, 10'000'000)->Unit(benchmark::kMicrosecond);

// Every row's name and a few misses, looked up in turn.
void BM_LookUpSimpleType(benchmark::State& state) {
  std::vector<std::u16string_view> names;
  for (const qxsoap::SimpleTypeRow& row : qxsoap::kSimpleTypes) names.push_back(row.localName);
  for (std::u16string_view miss : {u"Int", u"duration", u"nonNegativeInteger", u"dateTimf"}) {
    names.push_back(miss);
  }
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(qxsoap::LookUpSimpleType(names[next]));
    next = next + 1 == names.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LookUpSimpleType);

}  // namespace

BENCHMARK_MAIN();
