// Speed of one fitting run on a 40-point section (examples/naca4412-40pt.dat).
//
//   FitInMemory: the fit alone, data already read, no file written.
//   WholeRun:    read, fit, write the .FOI and make the first page.
// Targets on the development machine: FitInMemory under 10 us for 8 control
// points and under 25 us for 20; WholeRun under 200 us. WholeRun writes into
// $TMPDIR (default /tmp).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <tarvelo/tarvelo.h>

#include "fit/run.h"
#include "foilio/foil_files.h"
#include "screens/recording_display.h"

namespace tarvelo {
namespace {

const std::string kSection = std::string(TARVELO_EXAMPLES_DIR) + "/naca4412-40pt.dat";

void FitInMemory(benchmark::State& st) {
  State s;
  RecordingDisplay pic;
  s.InFile = kSection;
  s.ncp = static_cast<double>(st.range(0));
  if (Read_FoilData(s) != ReadOutcome::Read || s.nd != 40)
    throw std::runtime_error("cannot read " + kSection);
  const Array2<double> raw = s.yd;
  for (auto _ : st) {
    s.yd = raw;  // the run normalises yd in place
    if (!FitData(s, pic)) throw std::runtime_error("singular");
    benchmark::DoNotOptimize(s.rms(1));
  }
}
BENCHMARK(FitInMemory)->Arg(8)->Arg(20)->Unit(benchmark::kMicrosecond);

void WholeRun(benchmark::State& st) {
  // The output is synced to disk before it replaces the old file, so the
  // figure depends on the file system: TMPDIR=/dev/shm measures the program.
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = std::string(tmp != nullptr ? tmp : "/tmp") + "/tarvelo-bench-XXXXXX";
  if (mkdtemp(dir.data()) == nullptr) throw std::runtime_error("mkdtemp");
  const std::string out = dir + "/out.FOI";
  for (auto _ : st) {
    const Section section = ReadSection(kSection);
    const Fit fit = FitSection(section, static_cast<int>(st.range(0)));
    WriteFoilFile(out, fit);
    benchmark::DoNotOptimize(
        ScreenText(Screen::FirstPage, section, fit, {kSection, out, true}).size());
  }
  std::remove(out.c_str());
  std::remove(dir.c_str());
}
BENCHMARK(WholeRun)->Arg(8)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvelo

BENCHMARK_MAIN();
