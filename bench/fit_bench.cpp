// Speed of the fit and of one whole run.
//
//   FitInMemory/N:   the window's fit with N control points on the 40-point
//                    example (examples/naca4412-40pt.dat), data already read;
//                    /40 on NACA 4412 at 81 stations, since 40 control
//                    points need 41 data points at least.
//   LibraryFit/P/N/E: FitSection with N control points on the example (P =
//                    40) or NACA 4412 at P stations, with the window's
//                    placement (E = 0) or the exact one (1), the true
//                    deviations included.
//   CountSearch/P/E: FewestControlPoints over 4..80 for a tolerance no count
//                    reaches, on NACA 4412 at P stations: every count fitted,
//                    each measured between the data points too.
//   OutlineCount/R:  the plain command's count on the bundled NACA 4412
//                    outline imported at every point of the file: the
//                    outline deviation at and between the file's points and
//                    the nose checked for every count, 1e-4 (R = 1, reached)
//                    or a tolerance no count reaches (0: all 77 counts).
//   FitPoints/P/N:   the same on a NACA 4412 section generated at P
//                    cosine-spaced stations; per_point is the time per point.
//   DenseFit/P/N:    the plain dense form of the same arithmetic
//                    (bench/dense_fit.cpp) on the same section, checked
//                    against the library's results to the bit before timing.
//   AutoCount/M:     the fewest control points for 1e-4 on the 40-point
//                    example, by R.M.S. error (M = 0) or largest deviation (1).
//   WholeRun/N:      read, fit, write the .FOI and make the first page.
// Targets: LibraryFit/40/8/1 within 1.5 of LibraryFit/40/8/0; CountSearch
// within 10 times LibraryFit/P/40 of its placement; FitInMemory/8 and /20
// where they were. FitInMemory/8 within 0.65 of DenseFit/40/8 and FitPoints/61/20
// within 0.55 of DenseFit/61/20 (or 8 us and 16 us on the development
// machine); per_point at 100000 points within 1.1 of that at 1000;
// AutoCount well under 1 ms; WholeRun under 200 us.
// Generated sections and WholeRun's output go to $TMPDIR (default /tmp).
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <tarvelo/tarvelo.h>

#include "bench/dense_fit.h"
#include <tarvelo/window.h>

#include "fit/run.h"
#include "fit/foil_files.h"
#include "screens/recording_display.h"

namespace tarvelo {
namespace {

const std::string kSection = std::string(TARVELO_EXAMPLES_DIR) + "/naca4412-40pt.dat";

// A private directory in $TMPDIR, removed with everything in it at exit.
class ScratchDir {
 public:
  ScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr ? tmp : "/tmp") + "/tarvelo-bench-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp");
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& Scratch() {
  static const ScratchDir dir;
  return dir.path();
}

void Append(std::string& line, double v) {
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 8);
  line.append(buf, res.ptr);
}

// The 40-point example, or NACA 4412 written at `points` cosine-spaced
// stations (percent of chord, as the examples are).
const std::string& SectionFile(int points) {
  static std::map<int, std::string> files;
  if (points == 40) return kSection;
  std::string& name = files[points];
  if (!name.empty()) return name;
  name = Scratch() + "/naca4412-" + std::to_string(points) + ".dat";
  std::ofstream out(name, std::ios::binary);
  out << "NACA 4412, " << points << " cosine-spaced stations\r\n" << points << "\r\n";
  for (int i = 0; i < points; ++i) {
    const double x = 0.5 * (1 - std::cos(std::numbers::pi * i / (points - 1)));
    const double half = 0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x +
                               0.2843 * x * x * x - 0.1015 * x * x * x * x);
    const double camber = x < 0.4 ? 0.04 / 0.16 * (0.8 * x - x * x)
                                  : 0.04 / 0.36 * (0.2 + 0.8 * x - x * x);
    std::string line;
    for (double v : {100 * x, 100 * half, 100 * half, 100 * camber}) {
      if (!line.empty()) line += ", ";
      Append(line, v);
    }
    out << line << "\r\n";
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + name);
  return name;
}

State ReadState(int points, int ncp) {
  State s;
  s.InFile = SectionFile(points);
  s.ncp = ncp;
  if (Read_FoilData(s) != ReadOutcome::Read || s.nd != points)
    throw std::runtime_error("cannot read " + s.InFile);
  return s;
}

// The window's fit, repeated on the data as read.
void TimeFit(benchmark::State& st, int points, int ncp) {
  State s = ReadState(points, ncp);
  RecordingDisplay pic;
  for (auto _ : st) {
    if (!FitData(s, pic)) throw std::runtime_error("singular");
    benchmark::DoNotOptimize(s.rms(1));
  }
  st.counters["per_point"] = benchmark::Counter(static_cast<double>(st.iterations()) * points,
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void FitInMemory(benchmark::State& st) {
  const int ncp = static_cast<int>(st.range(0));
  TimeFit(st, ncp < 40 ? 40 : 81, ncp);
}
BENCHMARK(FitInMemory)->Arg(8)->Arg(20)->Arg(40)->Unit(benchmark::kMicrosecond);

std::string PlacementOf(std::int64_t e) { return e == 0 ? "window" : "exact"; }

void LibraryFit(benchmark::State& st) {
  const Section section = ReadSection(SectionFile(static_cast<int>(st.range(0))));
  const FitOptions options{static_cast<int>(st.range(1)), PlacementOf(st.range(2))};
  for (auto _ : st) benchmark::DoNotOptimize(FitSection(section, options).thickness.max_deviation);
}
BENCHMARK(LibraryFit)
    ->Args({40, 8, 0})->Args({40, 8, 1})->Args({81, 40, 0})->Args({81, 40, 1})
    ->Args({401, 20, 0})->Args({401, 20, 1})
    ->Unit(benchmark::kMicrosecond);

void CountSearch(benchmark::State& st) {
  const Section section = ReadSection(SectionFile(static_cast<int>(st.range(0))));
  const CountOptions options{std::numeric_limits<double>::min(), ErrorMeasure::Rms, PlacementOf(st.range(1)),
                             kMostControlPoints};
  for (auto _ : st) benchmark::DoNotOptimize(FewestControlPoints(section, options).control_points);
}
BENCHMARK(CountSearch)->Args({81, 0})->Args({81, 1})->Args({401, 1})->Unit(benchmark::kMicrosecond);

void OutlineCount(benchmark::State& st) {
  ImportOptions every;
  every.at_every_point = true;
  every.stations = 161;
  const ImportedSection imported =
      ImportOutline(std::string(TARVELO_EXAMPLES_DIR) + "/coordinates/naca4412.dat", every);
  const double tolerance = st.range(0) == 1 ? 1e-4 : std::numeric_limits<double>::min();
  const CountOptions options{tolerance, ErrorMeasure::OutlineDeviation, "exact", kMostControlPoints};
  for (auto _ : st) benchmark::DoNotOptimize(FewestControlPoints(imported, options).control_points);
}
BENCHMARK(OutlineCount)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void FitPoints(benchmark::State& st) {
  TimeFit(st, static_cast<int>(st.range(0)), static_cast<int>(st.range(1)));
}
BENCHMARK(FitPoints)->Args({61, 20})->Args({1000, 20})->Args({100000, 20})->Unit(benchmark::kMicrosecond);

template <class T>
bool SameBits(std::span<const T> a, std::span<const T> b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size_bytes()) == 0;
}

// Every result of the dense fit against the window's, bit for bit.
bool SameResults(const bench::DenseFit& d, const Fit& fit) {
  const std::array<double, 2> rms = {fit.thickness.rms, fit.camber.rms};
  bool same = SameBits<double>(d.xcp, fit.control_x) && SameBits<double>(d.rms, rms) &&
              SameBits<double>(d.xd, fit.x);
  for (const CurveFit* curve : {&fit.thickness, &fit.camber}) {
    const auto c = static_cast<std::size_t>(curve == &fit.camber);
    same = same && SameBits<double>(d.ycp[c], curve->control) && SameBits<double>(d.yfit[c], curve->fitted) &&
           SameBits<float>(d.dy[c], curve->difference);
  }
  return same;
}

void DenseFit(benchmark::State& st) {
  const int points = static_cast<int>(st.range(0));
  const int ncp = static_cast<int>(st.range(1));
  State s = ReadState(points, ncp);
  const std::vector<double> x = s.data.x;
  const std::array<std::vector<double>, 2> y = {s.data.thickness, s.data.camber};
  RecordingDisplay pic;
  if (!FitData(s, pic) || !SameResults(bench::FitDense(x, y, ncp), *s.fit)) {
    st.SkipWithError("the dense fit differs from the library's");
    return;
  }
  for (auto _ : st) benchmark::DoNotOptimize(bench::FitDense(x, y, ncp).rms[0]);
  st.counters["per_point"] = benchmark::Counter(static_cast<double>(st.iterations()) * points,
                                                benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(DenseFit)->Args({40, 8})->Args({40, 20})->Args({61, 20})->Args({1000, 20})->Unit(benchmark::kMicrosecond);

// tarvelo-fit --auto and --auto-max on the 40-point example: the fewest
// control points for the default tolerance, in memory.
void AutoCount(benchmark::State& st) {
  const Section section = ReadSection(kSection);
  const auto measure = st.range(0) == 0 ? ErrorMeasure::Rms : ErrorMeasure::MaxDeviation;
  for (auto _ : st) benchmark::DoNotOptimize(FewestControlPoints(section, 1e-4, measure).control_points);
}
BENCHMARK(AutoCount)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void WholeRun(benchmark::State& st) {
  // The output is synced to disk before it replaces the old file, so the
  // figure depends on the file system: TMPDIR=/dev/shm measures the program.
  const std::string out = Scratch() + "/out.FOI";
  for (auto _ : st) {
    const Section section = ReadSection(kSection);
    const Fit fit = FitSection(section, static_cast<int>(st.range(0)));
    WriteFoilFile(out, fit);
    benchmark::DoNotOptimize(
        ScreenText(Screen::FirstPage, section, fit, {kSection, out, true}).size());
  }
}
BENCHMARK(WholeRun)->Arg(8)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvelo

BENCHMARK_MAIN();
