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

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <string>

#include <tarvelo/tarvelo.h>

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

// The file, written line by line so that making it costs no memory.
std::string OutlineFile(long points) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/tarvelo-import-bench-" +
                           std::to_string(points) + ".dat";
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  std::fprintf(f, "NACA 4412 at %ld points\n", points);
  const long n = points / 2 + 1;  // the leading edge is shared
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
