// A 10-row table to a STEP file of three blades, and its two halves: the
// surfaces fitted to the definition, and the solids made, checked and
// written by the CAD module (its loading included).
#include <benchmark/benchmark.h>

#include <tarvelo/tarvelo.h>

#include <string>

namespace {

const std::string kExamples = TARVELO_EXAMPLES_DIR;

void TableToStep(benchmark::State& state) {
  const tarvelo::BladeTable table = tarvelo::ReadBladeTable(kExamples + "/blade/propeller.txt");
  const tarvelo::FoilSpline foil = tarvelo::ReadFoilFile(kExamples + "/blade/section.FOI");
  for (auto _ : state) {
    const tarvelo::Blade blade = tarvelo::MakeBlade(table, foil);
    benchmark::DoNotOptimize(tarvelo::ExportBlade(blade, "step"));
  }
}
BENCHMARK(TableToStep)->Unit(benchmark::kMillisecond);

void FitSurfaces(benchmark::State& state) {
  const tarvelo::BladeTable table = tarvelo::ReadBladeTable(kExamples + "/blade/propeller.txt");
  const tarvelo::FoilSpline foil = tarvelo::ReadFoilFile(kExamples + "/blade/section.FOI");
  tarvelo::BladeOptions options;
  options.planar = state.range(0) == 1;
  for (auto _ : state) benchmark::DoNotOptimize(tarvelo::MakeBlade(table, foil, options));
}
BENCHMARK(FitSurfaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void WriteSolids(benchmark::State& state) {
  const tarvelo::Blade blade = tarvelo::MakeBlade(tarvelo::ReadBladeTable(kExamples + "/blade/propeller.txt"),
                                                  tarvelo::ReadFoilFile(kExamples + "/blade/section.FOI"));
  const char* formats[] = {"step", "iges", "stl"};
  for (auto _ : state) benchmark::DoNotOptimize(tarvelo::ExportBlade(blade, formats[state.range(0)]));
}
BENCHMARK(WriteSolids)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
