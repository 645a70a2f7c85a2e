// Roots on the outline by GSL's gsl_root_fsolver_brent. GSL reports a fault
// through an error handler that aborts by default and belongs to the program
// using the library, so it is left alone; instead every call gets only what
// it takes without complaint: a bracket whose ends differ in sign, finite
// values, and the status-returning calls.
#pragma once

#include <gsl/gsl_errno.h>
#include <gsl/gsl_roots.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <new>

namespace tarvelo::outline {

struct SolverFree {
  void operator()(gsl_root_fsolver* p) const { gsl_root_fsolver_free(p); }
};

// The root of f between lo < hi by Brent's method, to the last bits of the
// parameter. Without a change of sign, the end where |f| is smaller.
template <class F>
double Root(F f, double lo, double hi) {
  constexpr int kMostIterations = 200;
  const double flo = f(lo);
  const double fhi = f(hi);
  if (flo == 0) return lo;
  if (fhi == 0) return hi;
  if ((flo < 0) == (fhi < 0)) return std::fabs(flo) <= std::fabs(fhi) ? lo : hi;
  gsl_function fn;
  fn.function = [](double s, void* params) { return (*static_cast<F*>(params))(s); };
  fn.params = &f;
  const std::unique_ptr<gsl_root_fsolver, SolverFree> solver(
      gsl_root_fsolver_alloc(gsl_root_fsolver_brent));
  if (!solver) throw std::bad_alloc();
  gsl_root_fsolver_set(solver.get(), &fn, lo, hi);
  const double tolerance = 4 * DBL_EPSILON * hi;
  for (int i = 0; i < kMostIterations; ++i) {
    gsl_root_fsolver_iterate(solver.get());
    if (gsl_root_test_interval(gsl_root_fsolver_x_lower(solver.get()),
                               gsl_root_fsolver_x_upper(solver.get()), tolerance,
                               0) == GSL_SUCCESS)
      break;
  }
  return gsl_root_fsolver_root(solver.get());
}

}  // namespace tarvelo::outline
