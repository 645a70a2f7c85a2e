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

#include <filesystem>
#include <map>
#include <string>

#include <tarvelo/tarvelo.h>

#include "outline_file.h"

namespace {

std::string OutlineFile(long points) { return tarvelo::bench::Naca4412OutlineFile(points, "outline"); }

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
