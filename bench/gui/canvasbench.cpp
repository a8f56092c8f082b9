// The canvas as the plot renderers use it: a trace of a whole capture and
// the labels of the axes, drawn into an off-screen bitmap.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "application.h"
#include "bitmap.h"

namespace {

std::vector<gui::TPoint> Trace(int samples, int width, int height) {
  std::vector<gui::TPoint> points;
  points.reserve(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i) {
    const double v = std::sin(i * 0.05) * 0.4 + std::sin(i * 0.71) * 0.05;
    points.push_back({i * width / samples, static_cast<int>(height / 2 - v * height)});
  }
  return points;
}

void BM_PolylineTrace(benchmark::State& state) {
  gui::TBitmap bitmap(700, 300);
  const std::vector<gui::TPoint> points = Trace(static_cast<int>(state.range(0)), 700, 300);
  for (auto _ : state) {
    bitmap.Canvas().Polyline(points);
    benchmark::DoNotOptimize(bitmap.Pixel(0, 0));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PolylineTrace)->Arg(700)->Arg(4096)->Arg(65536);

void BM_DottedGrid(benchmark::State& state) {
  gui::TBitmap bitmap(700, 300);
  gui::TCanvas& c = bitmap.Canvas();
  c.Pen().Style = gui::psDot;
  for (auto _ : state) {
    for (int x = 0; x < 700; x += 35) {
      c.MoveTo(x, 0);
      c.LineTo(x, 300);
    }
    for (int y = 0; y < 300; y += 30) {
      c.MoveTo(0, y);
      c.LineTo(700, y);
    }
    benchmark::DoNotOptimize(bitmap.Pixel(0, 0));
  }
}
BENCHMARK(BM_DottedGrid);

void BM_AxisLabels(benchmark::State& state) {
  gui::TBitmap bitmap(700, 300);
  gui::TCanvas& c = bitmap.Canvas();
  c.Font().SetName("Microsoft Sans Serif");
  c.Font().SetHeight(-11);
  c.SetBkMode(gui::bkTransparent);
  c.SetTextAlign(gui::TA_CENTER | gui::TA_BOTTOM);
  for (auto _ : state) {
    for (int i = 0; i < 20; ++i) c.TextOut(i * 35, 299, u"12.5ms");
    benchmark::DoNotOptimize(bitmap.Pixel(0, 0));
  }
}
BENCHMARK(BM_AxisLabels);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  gui::TApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
