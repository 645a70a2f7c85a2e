// Speed of the window's display area on long screens.
//
//   ListingScreen/N:  the thickness listing of a section of N points printed
//                     on the window's display area, its scroll bars set and
//                     the area painted: N rows, six more lines and the
//                     prompt. per_line is the time per printed line.
// Target: a screen costs in proportion to its lines: at 100000 points the
// time per line within 1.2 of that at 10000 (BigO below says O(N)), and the
// whole screen within 0.5 s.
// Runs without a display (the offscreen platform).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <cmath>
#include <numbers>

#include "app/picture_box.h"
#include "screens/screens.h"

namespace tarvelo {
namespace {

// The results of a fit of n points, as the listing reads them.
State ListedState(int n) {
  State s;
  s.nd = n;
  s.largest = {1, 0};
  Fit fit;
  fit.thickness.rms = 3.1e-5;
  for (int i = 1; i <= n; ++i) {
    const double x = 0.5 * (1 - std::cos(std::numbers::pi * (i - 1) / (n - 1)));
    const double y = 4 * x * (1 - x);
    s.data.x.push_back(x), s.data.thickness.push_back(y), s.data.camber.push_back(0);
    fit.x.push_back(x);
    fit.thickness.fitted.push_back(y + 1e-5), fit.thickness.difference.push_back(1e-5f);
    fit.camber.fitted.push_back(0), fit.camber.difference.push_back(0);
  }
  s.fit = fit;
  return s;
}

void ListingScreen(benchmark::State& st) {
  const int n = static_cast<int>(st.range(0));
  State s = ListedState(n);
  PictureBox pic;
  pic.resize(427, 528);
  pic.show();
  QApplication::processEvents();
  for (auto _ : st) {
    List_Data1(s, pic);
    // The scroll bars settle and the area paints, as after a press.
    QApplication::processEvents();
  }
  const auto lines = static_cast<double>(pic.page().lines.size());
  st.counters["per_line"] =
      benchmark::Counter(static_cast<double>(st.iterations()) * lines,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  st.SetComplexityN(n);
}
BENCHMARK(ListingScreen)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
