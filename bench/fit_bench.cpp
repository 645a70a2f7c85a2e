// Speed of one fitting run on a 40-point section (examples/naca4412-40pt.dat).
//
//   FitInMemory: the fit alone, data already read, no file written.
//   WholeRun:    Main from the fields: read, fit, write the .FOI, first page.
// Targets on the development machine: FitInMemory under 10 us for 8 control
// points and under 25 us for 20; WholeRun under 200 us.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "fit/form.h"
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
  if (!Read_FoilData(s, pic) || s.nd != 40) throw std::runtime_error("cannot read " + kSection);
  const Array2<double> raw = s.yd;
  for (auto _ : st) {
    s.yd = raw;  // the run normalises yd in place
    if (!FitData(s, pic)) throw std::runtime_error("singular");
    benchmark::DoNotOptimize(s.rms(1));
  }
}
BENCHMARK(FitInMemory)->Arg(8)->Arg(20)->Unit(benchmark::kMicrosecond);

void WholeRun(benchmark::State& st) {
  char dir[] = "/tmp/tarvelo-bench-XXXXXX";
  if (mkdtemp(dir) == nullptr) throw std::runtime_error("mkdtemp");
  State s;
  RecordingDisplay pic;
  MemoryForm form(s, pic);
  form.SetText(Field::Text1, kSection);
  form.SetText(Field::Text2, std::string(dir) + "/out.FOI");
  form.SetText(Field::Text3, std::to_string(st.range(0)));
  for (auto _ : st) {
    Main(s, pic, form);
    if (pic.page().lines.size() != 37) throw std::runtime_error("run failed");
  }
  std::remove((std::string(dir) + "/out.FOI").c_str());
  std::remove(dir);
}
BENCHMARK(WholeRun)->Arg(8)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvelo

BENCHMARK_MAIN();
