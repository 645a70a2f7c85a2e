// The outline of a section cut into thickness and camber.
//
// GSL does the numerical work: gsl_spline with gsl_interp_cspline for x(s)
// and y(s), gsl_root_fsolver_brent for the leading edge and the stations. GSL
// reports a fault through an error handler that aborts by default and belongs
// to the program using the library, so it is left alone; instead every call
// gets only what it takes without complaint (strictly increasing parameters,
// brackets whose ends differ in sign, finite values) and the status-returning
// evaluations are used.
#include "geometry/outline.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_roots.h>
#include <gsl/gsl_spline.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <new>
#include <numbers>

#include "foilio/items.h"
#include "foilio/number_format.h"

namespace tarvelo {

namespace {

constexpr std::size_t kFewestSurfacePoints = 5;
// Points closer than this part of the outline's size are one point repeated.
constexpr double kRepeated = 1e-12;
// A surface may step back this much of the chord, the rounding of a file's
// digits after the outline is turned; more is a surface turning back.
constexpr double kStepBack = 1e-6;
// Ahead of this chord position the surfaces must not cross; behind it they
// may, as at a thin, skewed trailing edge.
constexpr double kCrossingAllowed = 0.99;
constexpr double kCrossing = 1e-9;  // of the chord, below a thickness of 0
// At-file stations closer than this to the one before are the same station.
constexpr double kSameStation = 1e-9;
constexpr int kMostIterations = 200;

struct Point {
  double x = 0;
  double y = 0;
};

struct SplineFree {
  void operator()(gsl_spline* p) const { gsl_spline_free(p); }
};
struct SolverFree {
  void operator()(gsl_root_fsolver* p) const { gsl_root_fsolver_free(p); }
};

// One coordinate of the outline as a natural cubic spline of the parameter.
// The parameters must increase strictly and be evaluated within their range.
class Coordinate {
 public:
  Coordinate(const std::vector<double>& s, const std::vector<double>& v)
      : spline_(gsl_spline_alloc(gsl_interp_cspline, s.size())) {
    if (!spline_) throw std::bad_alloc();
    gsl_spline_init(spline_.get(), s.data(), v.data(), s.size());
  }
  double At(double s) const {
    double v = 0;
    gsl_spline_eval_e(spline_.get(), s, nullptr, &v);
    return v;
  }
  double Slope(double s) const {
    double v = 0;
    gsl_spline_eval_deriv_e(spline_.get(), s, nullptr, &v);
    return v;
  }

 private:
  std::unique_ptr<gsl_spline, SplineFree> spline_;
};

// The root of f between lo < hi by Brent's method, to the last bits of the
// parameter. Without a change of sign, the end where |f| is smaller.
template <class F>
double Root(F f, double lo, double hi) {
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

// The outline's points without repeats, in a frame where no coordinate
// exceeds 1, and their cumulative chord lengths.
struct Sampled {
  std::vector<double> s, x, y;
  std::vector<int> line;
};

Sampled Sample(const std::vector<OutlinePoint>& points) {
  // A power of two brings every coordinate below 1 without rounding, so
  // that no difference can overflow.
  double largest = 0;
  for (const OutlinePoint& p : points) largest = std::max({largest, std::fabs(p.x), std::fabs(p.y)});
  int exponent = 0;
  std::frexp(largest, &exponent);
  Point low{HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL};
  std::vector<Point> scaled;
  for (const OutlinePoint& p : points) {
    scaled.push_back({std::ldexp(p.x, -exponent), std::ldexp(p.y, -exponent)});
    low = {std::min(low.x, scaled.back().x), std::min(low.y, scaled.back().y)};
    high = {std::max(high.x, scaled.back().x), std::max(high.y, scaled.back().y)};
  }
  const double repeated = kRepeated * std::hypot(high.x - low.x, high.y - low.y);

  Sampled out;
  for (std::size_t i = 0; i < scaled.size(); ++i) {
    double s = 0;
    if (i > 0) {
      const double step = std::hypot(scaled[i].x - out.x.back(), scaled[i].y - out.y.back());
      s = out.s.back() + step;
      if (!(step > repeated) || !(s > out.s.back())) continue;
    }
    out.s.push_back(s);
    out.x.push_back(scaled[i].x);
    out.y.push_back(scaled[i].y);
    out.line.push_back(points[i].line);
  }
  return out;
}

// One surface from the leading edge to its end at the trailing edge.
struct Surface {
  std::vector<double> s;  // the outline's parameter: the leading edge's, then the points'
  std::vector<double> x;  // normalised chord positions there
  double reach = 0;       // the largest of them
};

}  // namespace

Section DecomposeOutline(const Outline& outline, const std::string& name,
                         const ImportOptions& options) {
  const auto fail = [&name](const std::string& text) { throw detail::DataError(name, text); };
  const Sampled p = Sample(outline.points);
  const std::size_t n = p.s.size();
  const Point te{(p.x.front() + p.x.back()) / 2, (p.y.front() + p.y.back()) / 2};
  const auto distance = [&](std::size_t i) { return std::hypot(p.x[i] - te.x, p.y[i] - te.y); };
  std::size_t far = 0;
  for (std::size_t i = 1; i < n; ++i)
    if (distance(i) > distance(far)) far = i;
  // The surfaces share the point farthest from the trailing edge.
  if (far + 1 < kFewestSurfacePoints || n - far < kFewestSurfacePoints)
    fail("A surface has fewer than 5 points");

  const Coordinate cx(p.s, p.x);
  const Coordinate cy(p.s, p.y);
  // The leading edge is where the distance from the trailing-edge point stops
  // growing: a root of its derivative is found to the last bits, where a
  // minimiser of the distance would place it only to the square root of the
  // precision, turning the chord by as much.
  const auto growth = [&](double s) {
    return (cx.At(s) - te.x) * cx.Slope(s) + (cy.At(s) - te.y) * cy.Slope(s);
  };
  const double atFar = growth(p.s[far]);
  const double sLe = atFar == 0 ? p.s[far]
                     : atFar > 0 ? Root(growth, p.s[far], p.s[far + 1])
                                 : Root(growth, p.s[far - 1], p.s[far]);
  const Point le{cx.At(sLe), cy.At(sLe)};
  const double chord = std::hypot(te.x - le.x, te.y - le.y);
  const Point u{(te.x - le.x) / chord, (te.y - le.y) / chord};
  // The leading edge at (0, 0), the trailing-edge point at (1, 0).
  const auto normal = [&](double s) {
    const double dx = cx.At(s) - le.x;
    const double dy = cy.At(s) - le.y;
    return Point{(dx * u.x + dy * u.y) / chord, (u.x * dy - u.y * dx) / chord};
  };

  // Toward the first point, and toward the last; each must run on in the
  // chord direction.
  Surface first{{sLe}, {0}, 0};
  Surface last{{sLe}, {0}, 0};
  const auto add = [&](Surface& surface, std::size_t i) {
    const double x = normal(p.s[i]).x;
    if (x < surface.reach - kStepBack)
      fail("A surface turns back in the chord direction in line " + std::to_string(p.line[i]));
    surface.s.push_back(p.s[i]);
    surface.x.push_back(x);
    surface.reach = std::max(surface.reach, x);
  };
  for (std::size_t i = far + 1; i-- > 0;)
    if (p.s[i] < sLe) add(first, i);
  for (std::size_t i = far; i < n; ++i)
    if (p.s[i] > sLe) add(last, i);

  // Round the outline counterclockwise, the first surface is the upper one.
  double area = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = (i + 1) % n;
    area += p.x[i] * p.y[j] - p.x[j] * p.y[i];
  }
  const Surface& upper = area >= 0 ? first : last;
  const Surface& lower = area >= 0 ? last : first;

  // y of a surface at a chord position: 0 at the leading edge, the end
  // point's beyond the surface's end.
  const auto yAt = [&](const Surface& surface, double x) {
    if (x <= 0) return 0.0;
    std::size_t k = 1;
    while (k < surface.x.size() && surface.x[k] < x) ++k;
    if (k == surface.x.size()) return normal(surface.s.back()).y;
    const auto [lo, hi] = std::minmax(surface.s[k - 1], surface.s[k]);
    return normal(Root([&](double s) { return normal(s).x - x; }, lo, hi)).y;
  };

  std::vector<double> stations;
  if (options.at_file_stations) {
    stations.push_back(0);
    for (double x : upper.x)
      if (x > stations.back() + kSameStation) stations.push_back(x);
  } else {
    for (int i = 0; i < options.stations; ++i)
      stations.push_back((1 - std::cos(std::numbers::pi * i / (options.stations - 1))) / 2);
  }

  // Crossing is looked for at every point of both surfaces, not only at the stations.
  std::vector<double> checked = stations;
  checked.insert(checked.end(), first.x.begin(), first.x.end());
  checked.insert(checked.end(), last.x.begin(), last.x.end());
  std::sort(checked.begin(), checked.end());
  for (double x : checked) {
    if (x >= kCrossingAllowed) break;
    if (yAt(upper, x) - yAt(lower, x) < -kCrossing)
      fail("The surfaces cross at " + FSt(0, 0, 2, 100 * x) + " % of the chord");
  }

  Section section{outline.name, {}, {}, {}};
  for (double x : stations) {
    const double yu = yAt(upper, x);
    const double yl = yAt(lower, x);
    section.x.push_back(x);
    section.thickness.push_back(yu - yl);
    section.camber.push_back((yu + yl) / 2);
  }
  return section;
}

}  // namespace tarvelo
