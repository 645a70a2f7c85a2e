// Speed and memory of the import of a coordinate file.
//
//   ImportPoints/P:  ImportOutline on a Selig file of a NACA 4412 outline at
//                    P points (P / 2 cosine-spaced stations a surface), read
//                    from $TMPDIR (default /tmp); per_point is the time per
//                    point, bytes_per_point the growth of the process's peak
//                    resident memory during the first import, per point.
// Targets: 2,000,000 points in under 2 s and under 200 bytes a point.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <tarvelo/tarvelo.h>

#include "outline_file.h"

namespace {

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

long PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024;
}

std::string OutlineFile(long points) { return tarvelo::bench::Naca4412OutlineFile(points, "import"); }

void ImportPoints(benchmark::State& state) {
  const long points = state.range(0);
  const std::string path = OutlineFile(points);
  const long before = ResidentBytes();
  bool first = true;
  double growth = 0;
  for (auto _ : state) {
    const tarvelo::ImportedSection imported = tarvelo::ImportOutline(path);
    benchmark::DoNotOptimize(imported.section.thickness.data());
    if (first) growth = static_cast<double>(PeakResidentBytes() - before), first = false;
  }
  std::filesystem::remove(path);
  state.counters["per_point"] = benchmark::Counter(static_cast<double>(points),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
  state.counters["bytes_per_point"] = growth / static_cast<double>(points);
}
BENCHMARK(ImportPoints)->Arg(2000)->Arg(200000)->Arg(2000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
