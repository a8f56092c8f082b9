// Text conversion runs over whole configuration, session and sensor files.

#include <benchmark/benchmark.h>

#include <string>

#include "textconv.h"

namespace {

std::string MixedUtf8(size_t bytes) {
  const std::string piece = "Rotor 1x 12,5 \xC2\xB5m \xD0\x94\xD0\xB0\xD1\x82\xD1\x87\xD0\xB8\xD0\xBA \xE6\x8C\xAF ";
  std::string text;
  while (text.size() < bytes) text += piece;
  return text;
}

void BM_Utf8ToUtf16(benchmark::State& state) {
  const std::string text = MixedUtf8(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(rtl::Utf8ToUtf16(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Utf8ToUtf16)->Arg(1 << 16);

void BM_Utf16ToUtf8(benchmark::State& state) {
  const std::u16string text = rtl::Utf8ToUtf16(MixedUtf8(static_cast<size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(rtl::Utf16ToUtf8(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_Utf16ToUtf8)->Arg(1 << 16);

void BM_Windows1252RoundTrip(benchmark::State& state) {
  std::string text;
  for (int i = 0; text.size() < static_cast<size_t>(state.range(0)); ++i) text += static_cast<char>(32 + i % 224);
  for (auto _ : state) benchmark::DoNotOptimize(rtl::Utf8ToWindows1252(rtl::Windows1252ToUtf8(text)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Windows1252RoundTrip)->Arg(1 << 16);

}  // namespace
