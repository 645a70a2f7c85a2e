// The fit of the window's run in its plain dense form, for the benchmark to
// measure the library against: the whole basis table cleared and summed over
// every row, a dense row of the basis per data point, the normal equations
// over every pair of control points, the solver along its rows. The same
// arithmetic, so the same results to the last bit.
#pragma once

#include <array>
#include <vector>

namespace tarvelo::bench {

struct DenseFit {
  std::vector<double> xcp;                   // control x, 1..nv at [0..nv-1]
  std::array<std::vector<double>, 2> ycp;    // control ordinates per curve
  std::vector<double> xd;                    // x of the fitted curve per point
  std::array<std::vector<double>, 2> yfit;   // fitted values per curve
  std::array<std::vector<float>, 2> dy;      // fit minus data per curve
  std::array<double, 2> rms{};
  bool singular = false;
};

// Fits thickness y[0] and camber y[1] at the chord positions x with nv
// control points, normalising each curve by its largest value above 0.
DenseFit FitDense(const std::vector<double>& x, const std::array<std::vector<double>, 2>& y, int nv);

}  // namespace tarvelo::bench
