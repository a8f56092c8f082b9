// Drawing cost of the plots at the sizes a capture reaches: the whole record
// of 2^20 samples in the oscilloscope (one stroke per pixel column), a
// zoomed view that draws every sample, and the spectrum of 2^19 bins.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "application.h"
#include "bitmap.h"
#include "decimation.h"
#include "displaya.h"
#include "displayfft.h"

namespace {

constexpr int W = 760, H = 360;
constexpr int32_t Samples = 1 << 20;

gui::TApplication& App() {
  static int argc = 1;
  static char name[] = "bench_views";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static gui::TApplication application(argc, argv);
  return application;
}

std::vector<float> Signal() {
  std::vector<float> s(Samples);
  for (int32_t i = 0; i < Samples; ++i)
    s[i] = static_cast<float>(12000 * std::sin(i * 0.0123) + 3000 * std::sin(i * 0.91) +
                              static_cast<int64_t>(i) * 7919 % 601 - 300);
  return s;
}

TDisplayA TimePlot(const std::vector<float>& a, const std::vector<float>& b) {
  TDisplayA p(nullptr);
  p.DataA = a.data();
  p.DataB = b.data();
  p.MarginTop = p.MarginBottom = 18;
  p.MarginLeft = p.MarginRight = 38;
  p.TotalSamples = Samples;
  p.ViewWidth = Samples;
  p.FullScale = 32768;
  p.SpanY = 65536;
  p.RangeA = p.RangeB = 2500;
  p.UnitA = p.UnitB = u"[mV]";
  p.ShowA = p.ShowB = 1;
  p.SampleRate = 100000;
  p.BackColor = 0xFFFFFF;
  p.GridColor = 0xD0D0D0;
  p.ColorA = 0x0080FF;
  p.ColorB = 0xFF0080;
  return p;
}

void BM_TimePlotWholeRecord(benchmark::State& state) {
  App();
  const std::vector<float> a = Signal(), b = Signal();
  TDisplayA plot = TimePlot(a, b);
  gui::TBitmap bitmap(W, H);
  for (auto _ : state) benchmark::DoNotOptimize(plot.PaintTo(bitmap.Canvas(), W, H));
  state.SetItemsProcessed(state.iterations() * 2 * Samples);
}
BENCHMARK(BM_TimePlotWholeRecord)->Unit(benchmark::kMillisecond);

// Five samples per pixel: the widest view drawn sample by sample.
void BM_TimePlotDirect(benchmark::State& state) {
  App();
  const std::vector<float> a = Signal(), b = Signal();
  TDisplayA plot = TimePlot(a, b);
  plot.ViewWidth = 5 * (W - 76);
  gui::TBitmap bitmap(W, H);
  for (auto _ : state) benchmark::DoNotOptimize(plot.PaintTo(bitmap.Canvas(), W, H));
  state.SetItemsProcessed(state.iterations() * 2 * plot.ViewWidth);
}
BENCHMARK(BM_TimePlotDirect)->Unit(benchmark::kMillisecond);

void BM_Decimation(benchmark::State& state) {
  const std::vector<float> a = Signal();
  for (auto _ : state) benchmark::DoNotOptimize(DecimateColumns(a.data(), Samples, 0, Samples, W - 76));
  state.SetItemsProcessed(state.iterations() * Samples);
}
BENCHMARK(BM_Decimation)->Unit(benchmark::kMicrosecond);

void BM_SpectrumPlot(benchmark::State& state) {
  App();
  const int32_t bins = static_cast<int32_t>(state.range(0));
  std::vector<double> a(bins + 1), b(bins + 1);
  for (int32_t i = 0; i <= bins; ++i) {
    a[i] = 20 + 15 * std::fabs(std::sin(i * 0.37)) + (i % 997 == 0 ? 800 : 0);
    b[i] = 10 + 8 * std::fabs(std::cos(i * 0.53));
  }
  TDisplayFFT plot(nullptr);
  plot.DataA = a.data();
  plot.DataB = b.data();
  plot.MarginTop = plot.MarginBottom = 18;
  plot.MarginLeft = plot.MarginRight = 38;
  plot.TotalBins = plot.ViewWidth = bins;
  plot.SampleRate = 100000;
  plot.RefSpan = plot.SpanY = 1000;
  plot.RangeA = plot.RangeB = 1000;
  plot.ShowA = plot.ShowB = 1;
  plot.LogScale = static_cast<uint8_t>(state.range(1));
  gui::TBitmap bitmap(W, H);
  for (auto _ : state) benchmark::DoNotOptimize(plot.PaintTo(bitmap.Canvas(), W, H));
  state.SetItemsProcessed(state.iterations() * 2 * bins);
}
BENCHMARK(BM_SpectrumPlot)->Args({1 << 12, 0})->Args({1 << 19, 0})->Args({1 << 19, 1})->Unit(benchmark::kMillisecond);

}  // namespace
