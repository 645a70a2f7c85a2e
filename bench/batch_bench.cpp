// The planning of a batch of tarvelo-fit and its check that no output
// replaces an input or another output, before anything is written.
//
//   PlanAndCheck/N:  tarvelo-fit --coordinates --export with all five
//                    formats on N coordinate files in $TMPDIR (default
//                    /tmp): the command line read, the six outputs of each
//                    input named, and every name checked against every
//                    input and earlier output; per_input is the time per
//                    input.
// Target: linear in the inputs, 400 inputs at most 6 times 100.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/clash.h"
#include "cli/fit_naming.h"
#include "cli/fit_options.h"

namespace {

namespace fs = std::filesystem;

// N files in a folder of their own, removed at the end.
class Inputs {
 public:
  explicit Inputs(int n) {
    const char* tmp = std::getenv("TMPDIR");
    dir_ = fs::path(tmp != nullptr ? tmp : "/tmp") / ("tarvelo-batch-bench-" + std::to_string(n));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (int i = 0; i < n; ++i) {
      const fs::path file = dir_ / ("section" + std::to_string(i) + ".dat");
      std::ofstream(file) << "section " << i << "\n";
      files_.push_back(file.string());
    }
  }
  ~Inputs() { fs::remove_all(dir_); }
  const std::vector<std::string>& files() const { return files_; }

 private:
  fs::path dir_;
  std::vector<std::string> files_;
};

void PlanAndCheck(benchmark::State& state) {
  const Inputs inputs(static_cast<int>(state.range(0)));
  std::vector<std::string> args = {"--coordinates", "--export=table,selig,dxf,svg,properties"};
  args.insert(args.end(), inputs.files().begin(), inputs.files().end());
  std::ostringstream out;
  for (auto _ : state) {
    const auto options = tarvelo::ParseFitCommand(args, out);
    const auto clash = tarvelo::FirstClash(tarvelo::FitPlan(*options));
    if (clash) throw std::runtime_error(*clash);
  }
  state.counters["per_input"] =
      benchmark::Counter(static_cast<double>(state.range(0)),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
// With others on the machine, the fastest of the repetitions says most.
BENCHMARK(PlanAndCheck)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

}  // namespace

BENCHMARK_MAIN();
