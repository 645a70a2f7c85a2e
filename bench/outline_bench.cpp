// The growth of the outline deviation with the points of the outline.
//
//   OutlineDeviation/P:  OutlineDeviationOf a fit of 10 control points of
//                        NACA 4412 imported from a Selig file of P points
//                        (in $TMPDIR, default /tmp), with the time per point.
//   OutlineCount/P:      the count search by the outline deviation, 1e-4,
//                        up to 40 control points, as tarvelo-fit
//                        --auto-outline --max-control-points 40 makes it.
// Target: tarvelo-fit --auto-outline on 800 000 points within 10 s.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <stdexcept>
#include <string>

#include <tarvelo/tarvelo.h>

namespace {

// NACA 4412 at `points` points, thickness laid off vertically.
std::string OutlineFile(long points) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/tarvelo-outline-bench-" +
                           std::to_string(points) + ".dat";
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  std::fprintf(f, "NACA 4412 at %ld points\n", points);
  const long n = points / 2 + 1;
  const auto write = [&](long i, double sign) {
    const double x = (1 - std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1))) / 2;
    const double half = 0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                               0.1015 * x * x * x * x);
    const double mean = x < 0.4 ? 0.04 / 0.16 * (0.8 * x - x * x) : 0.04 / 0.36 * (0.2 + 0.8 * x - x * x);
    std::fprintf(f, "%.15f %.15f\n", x, mean + sign * half);
  };
  for (long i = n - 1; i >= 0; --i) write(i, 1);
  for (long i = 1; i < n; ++i) write(i, -1);
  if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
  return path;
}

const tarvelo::ImportedSection& Imported(long points) {
  static std::map<long, tarvelo::ImportedSection> made;
  auto it = made.find(points);
  if (it == made.end()) {
    const std::string path = OutlineFile(points);
    it = made.emplace(points, tarvelo::ImportOutline(path)).first;
    std::filesystem::remove(path);
  }
  return it->second;
}

void PerPoint(benchmark::State& state, long points) {
  state.counters["per_point"] = benchmark::Counter(static_cast<double>(points),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void OutlineDeviation(benchmark::State& state) {
  const tarvelo::ImportedSection& imported = Imported(state.range(0));
  const tarvelo::Fit fit = tarvelo::FitSection(imported.section, 10);
  for (auto _ : state) benchmark::DoNotOptimize(tarvelo::OutlineDeviationOf(fit, imported).deviation);
  PerPoint(state, state.range(0));
}
BENCHMARK(OutlineDeviation)->Arg(100000)->Arg(200000)->Arg(400000)->Arg(800000)->Unit(benchmark::kMillisecond);

void OutlineCount(benchmark::State& state) {
  const tarvelo::ImportedSection& imported = Imported(state.range(0));
  tarvelo::CountOptions options;
  options.measure = tarvelo::ErrorMeasure::OutlineDeviation;
  options.most_control_points = 40;
  for (auto _ : state) benchmark::DoNotOptimize(tarvelo::FewestControlPoints(imported, options).control_points);
  PerPoint(state, state.range(0));
}
BENCHMARK(OutlineCount)->Arg(100000)->Arg(200000)->Arg(400000)->Arg(800000)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
