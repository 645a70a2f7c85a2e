// The outline of a section cut into thickness and camber.
//
// The outline is a natural cubic spline of x and y in chord length; GSL's
// gsl_root_fsolver_brent finds the leading edge and the stations on it. GSL
// reports a fault through an error handler that aborts by default and belongs
// to the program using the library, so it is left alone; instead every call
// gets only what it takes without complaint (strictly increasing parameters,
// brackets whose ends differ in sign, finite values) and the status-returning
// evaluations are used.
//
// Every step is linear in the number of points, apart from a median: the
// surfaces are walked once in chord order, each lookup starting where the
// last one ended.
#include "geometry/outline.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_roots.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
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
// may, as at a thin, skewed trailing edge, and are reported.
constexpr double kCrossingAllowed = 0.99;
constexpr double kCrossing = 1e-9;  // of the chord, below a thickness of 0
// At-file stations closer than this to the one before are the same station:
// the section data file, at 1e-8 of the chord, would print them alike.
constexpr double kSameStation = 2e-8;
// Ends of the surfaces closer than this in the chord direction end together.
constexpr double kSameEnd = 1e-9;
// An outline spanning x = 0..1 with its leading-edge point at (0, 0), each
// within this, keeps its own frame.
constexpr double kOwnFrame = 1e-4;
// Points in order round an outline make a path at most about 2.3 times the
// outline's diagonal (a circle: pi / sqrt 2); points out of order, far more.
constexpr double kLongestPath = 3;
constexpr int kMostIterations = 200;

struct Point {
  double x = 0;
  double y = 0;
};

struct SolverFree {
  void operator()(gsl_root_fsolver* p) const { gsl_root_fsolver_free(p); }
};

// x(s) and y(s) of the outline: natural cubic splines on the same knots.
// They share their tridiagonal system, which is factored once for both: the
// spline GSL's gsl_interp_cspline makes, in half its time and a third of its
// memory, which for an outline of millions of points is most of the import.
class Curve {
 public:
  // The knots must increase strictly; the vectors must outlive the curve.
  Curve(const std::vector<double>& s, const std::vector<double>& x, const std::vector<double>& y)
      : s_(s), x_(x), y_(y), mx_(s.size()), my_(s.size()) {
    // Second derivatives, zero at both ends, by the Thomas algorithm; mx_
    // and my_ hold the eliminated right-hand sides first.
    const std::size_t n = s.size();
    std::vector<double> c(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const double h0 = s[i] - s[i - 1], h1 = s[i + 1] - s[i];
      const double den = 2 * (h0 + h1) - h0 * c[i - 1];
      c[i] = h1 / den;
      mx_[i] = (6 * ((x[i + 1] - x[i]) / h1 - (x[i] - x[i - 1]) / h0) - h0 * mx_[i - 1]) / den;
      my_[i] = (6 * ((y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0) - h0 * my_[i - 1]) / den;
    }
    for (std::size_t i = n - 1; i-- > 1;) {
      mx_[i] -= c[i] * mx_[i + 1];
      my_[i] -= c[i] * my_[i + 1];
    }
  }
  // The knot interval [s_k, s_k+1] that holds t.
  std::size_t Segment(double t) const {
    const auto k = std::upper_bound(s_.begin(), s_.end(), t) - s_.begin();
    return std::clamp<std::size_t>(static_cast<std::size_t>(k), 1, s_.size() - 1) - 1;
  }
  Point At(double t, std::size_t k) const {
    const double h = s_[k + 1] - s_[k], a = (s_[k + 1] - t) / h, b = (t - s_[k]) / h;
    const double ca = (a * a * a - a) * h * h / 6, cb = (b * b * b - b) * h * h / 6;
    return {a * x_[k] + b * x_[k + 1] + ca * mx_[k] + cb * mx_[k + 1],
            a * y_[k] + b * y_[k + 1] + ca * my_[k] + cb * my_[k + 1]};
  }
  Point At(double t) const { return At(t, Segment(t)); }
  // dx/ds and dy/ds.
  Point Slope(double t, std::size_t k) const {
    const double h = s_[k + 1] - s_[k], a = (s_[k + 1] - t) / h, b = (t - s_[k]) / h;
    const double ca = -(3 * a * a - 1) * h / 6, cb = (3 * b * b - 1) * h / 6;
    return {(x_[k + 1] - x_[k]) / h + ca * mx_[k] + cb * mx_[k + 1],
            (y_[k + 1] - y_[k]) / h + ca * my_[k] + cb * my_[k + 1]};
  }
  Point Slope(double t) const { return Slope(t, Segment(t)); }

 private:
  const std::vector<double>& s_;
  const std::vector<double>& x_;
  const std::vector<double>& y_;
  std::vector<double> mx_, my_;
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

std::string Percent(double fraction, int decimals) { return FSt(0, 0, decimals, 100 * fraction); }

// The first point that lies farther from both its neighbours than the whole
// outline is long, judged by the median step; the points' count if none. A
// typing slip of a few digits puts a point there, and no outline has one.
std::size_t FarOffPoint(const std::vector<CoordinatePoint>& points) {
  // Quartered, so that no difference of finite values overflows; a square
  // that does is a step of no use to an outline anyway.
  const auto step = [&](std::size_t i) {
    const double dx = points[i].x / 4 - points[i - 1].x / 4, dy = points[i].y / 4 - points[i - 1].y / 4;
    return std::sqrt(dx * dx + dy * dy);
  };
  std::vector<double> steps;
  for (std::size_t i = 1; i < points.size(); ++i)
    if (const double d = step(i); d > 0) steps.push_back(d);
  if (steps.size() < 2) return points.size();
  const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
  std::nth_element(steps.begin(), middle, steps.end());
  const double length = *middle * static_cast<double>(steps.size());
  steps = {};
  // Runs of one repeated point are judged by the steps into and out of them.
  std::size_t run = 0;
  double before = -1;  // no step before the first run
  for (std::size_t i = 1; i <= points.size(); ++i) {
    const double d = i < points.size() ? step(i) : -1;
    if (d == 0) continue;
    if ((before < 0 || before > length) && (d < 0 || d > length)) return run;
    before = d;
    run = i;
  }
  return points.size();
}

// One surface from the leading edge to its end at the trailing edge.
struct Surface {
  std::vector<double> x;  // chord positions: the leading edge's, then its points'
  std::size_t first = 0;  // the point of x[1]
  bool backward = false;  // its points run against the outline's order
  std::size_t point(std::size_t k) const { return backward ? first - (k - 1) : first + (k - 1); }
  // Beyond its end the surface goes on as a straight line.
  Point end;
  double slope = 0;
};

}  // namespace

ImportedSection DecomposeOutline(OutlineSource& source, const std::string& name,
                                 const std::string& source_name, const ImportOptions& options) {
  const auto fail = [&source_name](const std::string& text) {
    throw detail::DataError(source_name, text);
  };
  const std::vector<CoordinatePoint>& points = source.points;
  const auto label = [&](std::size_t i) {
    return source.label_word + " " + std::to_string(source.labels[i]);
  };
  if (points.size() < 2 * kFewestSurfacePoints - 1) fail("A surface has fewer than 5 points");
  if (const std::size_t off = FarOffPoint(points); off < points.size())
    fail("The point in " + label(off) + " lies far off the outline");

  // A power of two brings every coordinate below 1 without rounding, so that
  // no difference can overflow.
  double largest = 0;
  std::size_t lowest = 0, highest = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    largest = std::max({largest, std::fabs(points[i].x), std::fabs(points[i].y)});
    if (points[i].x < points[lowest].x) lowest = i;
    if (points[i].x > points[highest].x) highest = i;
  }
  int exponent = 0;
  std::frexp(largest, &exponent);
  const auto scaled = [exponent](const CoordinatePoint& p) {
    return Point{std::ldexp(p.x, -exponent), std::ldexp(p.y, -exponent)};
  };
  Point low{HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL};
  for (const CoordinatePoint& p : points) {
    const Point q = scaled(p);
    low = {std::min(low.x, q.x), std::min(low.y, q.y)};
    high = {std::max(high.x, q.x), std::max(high.y, q.y)};
  }
  const double size = std::hypot(high.x - low.x, high.y - low.y);
  const double repeated = kRepeated * size;

  const bool kept = std::fabs(points[highest].x - 1) <= kOwnFrame &&
                    std::hypot(points[lowest].x, points[lowest].y) <= kOwnFrame;

  // The distinct points, and their cumulative chord lengths.
  std::vector<double> s, sx, sy;
  for (std::vector<double>* v : {&s, &sx, &sy}) v->reserve(points.size());
  const std::size_t given = points.size();
  std::vector<bool> sampled(given);
  for (std::size_t i = 0; i < given; ++i) {
    const Point q = scaled(points[i]);
    double at = 0;
    if (i > 0) {
      const double dx = q.x - sx.back(), dy = q.y - sy.back();
      const double step = std::sqrt(dx * dx + dy * dy);
      at = s.back() + step;
      if (!(step > repeated) || !(at > s.back())) continue;
    }
    s.push_back(at);
    sx.push_back(q.x);
    sy.push_back(q.y);
    sampled[i] = true;
  }
  const std::size_t n = s.size();
  // The file line of each distinct point. The given points are not needed
  // any more: a repeated one is taken for the point it repeats.
  std::vector<int> lines;
  lines.reserve(n);
  for (std::size_t i = 0; i < given; ++i)
    if (sampled[i]) lines.push_back(source.labels[i]);
  source.labels = {};
  source.points = {};
  const auto lineOf = [&](std::size_t i) { return source.label_word + " " + std::to_string(lines[i]); };

  if (s.back() > kLongestPath * size) fail("The points do not run in order round the outline");

  // The outline runs from its trailing edge, where it starts and ends, round
  // its leading edge, the point farthest from there, which lies ahead of it.
  const auto enoughPoints = [&](std::size_t le) {
    if (le + 1 < kFewestSurfacePoints || n - le < kFewestSurfacePoints)
      fail("A surface has fewer than 5 points");
  };
  const Point ends{(sx.front() + sx.back()) / 2, (sy.front() + sy.back()) / 2};
  // Squared distances: the coordinates are below 1.
  const auto farthest = [&](Point te) {
    std::size_t far = 0;
    double most = -1;
    for (std::size_t i = 0; i < n; ++i) {
      const double dx = sx[i] - te.x, dy = sy[i] - te.y;
      if (const double d = dx * dx + dy * dy; d > most) far = i, most = d;
    }
    return far;
  };
  const std::size_t far0 = farthest(ends);
  enoughPoints(far0);
  if (sx[far0] > ends.x)
    fail("The outline starts and ends at its leading edge: list it from the trailing edge");

  std::size_t keptLe = 0;
  if (kept) {
    for (std::size_t i = 1; i < n; ++i)
      if (sx[i] < sx[keptLe]) keptLe = i;
    enoughPoints(keptLe);
  }

  const Curve curve(s, sx, sy);
  const auto knot = [&](std::size_t i) { return s[i]; };
  const auto at = [&](std::size_t i) { return Point{sx[i], sy[i]}; };

  // The leading edge is where a distance from the trailing edge stops
  // growing: a root of its derivative is found to the last bits, where a
  // minimiser would place it only to the square root of the precision,
  // turning the chord by as much.
  const auto leadingEdgeFrom = [&](Point te) {
    const std::size_t far = farthest(te);
    enoughPoints(far);
    const auto growth = [&curve, te](std::size_t k) {
      return [&curve, te, k](double t) {
        const Point p = curve.At(t, k), d = curve.Slope(t, k);
        return (p.x - te.x) * d.x + (p.y - te.y) * d.y;
      };
    };
    const double atFar = growth(far)(knot(far));
    return atFar == 0 ? knot(far)
           : atFar > 0 ? Root(growth(far), knot(far), knot(far + 1))
                       : Root(growth(far - 1), knot(far - 1), knot(far));
  };

  // The chord frame: the leading edge at (0, 0), the chord along x.
  struct Frame {
    Point le;
    Point u{1, 0};
    double chord = 1;
  };
  const auto frameOf = [&](double sLe, Point te) {
    const Point le = curve.At(sLe);
    const double chord = std::hypot(te.x - le.x, te.y - le.y);
    if (!(chord > 0)) fail("The outline has no chord: its leading and trailing edges meet");
    return Frame{le, {(te.x - le.x) / chord, (te.y - le.y) / chord}, chord};
  };
  const auto inFrame = [](const Frame& f, Point q) {
    const double dx = q.x - f.le.x;
    const double dy = q.y - f.le.y;
    return Point{(dx * f.u.x + dy * f.u.y) / f.chord, (f.u.x * dy - f.u.y * dx) / f.chord};
  };
  // The slope of the outline across the chord against along it at a point.
  const auto slopeAt = [&](const Frame& f, double t) {
    const Point d = curve.Slope(t);
    return Point{d.x * f.u.x + d.y * f.u.y, f.u.x * d.y - f.u.y * d.x};
  };

  // The trailing edge. A surface that stops short of the other's end in the
  // chord direction by more than the ends differ across is cut off and
  // continued by a straight line to that end; otherwise the ends form a
  // blunt trailing edge, the shorter surface continued at its last slope.
  double sLe = 0;
  Frame frame;
  bool truncated = false;
  const auto classify = [&](const Frame& f) {
    const Point a = inFrame(f, at(0)), b = inFrame(f, at(n - 1));
    const double along = a.x - b.x;
    truncated = std::fabs(along) > std::fabs(a.y - b.y) && std::fabs(along) > kSameEnd;
    return along;
  };
  if (kept) {
    // The chord runs along x in the file's own units; the leading edge is
    // the file's foremost point, where the file puts its leading edge: the
    // spline's own foremost point may lie a rounding ahead of it, and the
    // thickness grows with the square root of the distance from there.
    sLe = knot(keptLe);
    frame.le = {0, 0};
    frame.chord = std::ldexp(1.0, -exponent);
    classify(frame);
  } else {
    const Frame first = frameOf(leadingEdgeFrom(ends), ends);
    const double along = classify(first);
    const std::size_t longer = along >= 0 ? 0 : n - 1;
    const std::size_t shorter = n - 1 - longer;
    Point te = ends;
    if (truncated) {
      te = at(longer);
    } else if (along != 0) {
      // The shorter end extended at its slope to the longer one's chord position.
      const Point e = inFrame(first, at(shorter));
      const Point tangent = slopeAt(first, knot(shorter));
      const double reach = inFrame(first, at(longer)).x - e.x;
      // The first surface runs against the outline's order.
      const bool onward = shorter == 0 ? tangent.x < 0 : tangent.x > 0;
      const double slope = onward && std::isfinite(tangent.y / tangent.x) ? tangent.y / tangent.x : 0;
      const Point ext{e.x + reach, e.y + reach * slope};
      const Point g = at(longer);
      const Point back{first.le.x + first.chord * (ext.x * first.u.x - ext.y * first.u.y),
                       first.le.y + first.chord * (ext.x * first.u.y + ext.y * first.u.x)};
      te = {(g.x + back.x) / 2, (g.y + back.y) / 2};
    }
    sLe = leadingEdgeFrom(te);
    frame = frameOf(sLe, te);
  }
  const Point le = inFrame(frame, curve.At(sLe));

  // Toward the first point, and toward the last; each must run on in the
  // chord direction.
  Surface first, last;
  for (Surface* surface : {&first, &last}) {
    const bool backward = surface == &first;
    surface->backward = backward;
    surface->x.push_back(le.x);
    double reach = le.x;
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t i = backward ? n - 1 - k : k;
      if (backward ? !(knot(i) < sLe) : !(knot(i) > sLe)) continue;
      if (surface->x.size() == 1) surface->first = i;
      const double x = inFrame(frame, at(i)).x;
      if (x < reach - kStepBack) fail("A surface turns back in the chord direction in " + lineOf(i));
      surface->x.push_back(x);
      reach = std::max(reach, x);
    }
    if (surface->x.size() < 2) fail("A surface has fewer than 5 points");
    const std::size_t end = surface->point(surface->x.size() - 1);
    surface->end = inFrame(frame, at(end));
    const Point tangent = slopeAt(frame, knot(end));
    // Only a surface still running toward the trailing edge has a slope to go on at.
    const bool onward = backward ? tangent.x < 0 : tangent.x > 0;
    const double slope = onward ? tangent.y / tangent.x : 0;
    surface->slope = std::isfinite(slope) ? slope : 0;
  }
  Surface* shorter = first.end.x < last.end.x ? &first : &last;
  const Surface* longer = shorter == &first ? &last : &first;

  // Round the outline counterclockwise, the first surface is the upper one:
  // the frame is never mirrored.
  double area = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t j = (i + 1) % n;
    area += sx[i] * sy[j] - sx[j] * sy[i];
  }
  const Surface& upper = area >= 0 ? first : last;
  const Surface& lower = area >= 0 ? last : first;
  const auto surfaceName = [&](const Surface* surface) { return surface == &upper ? "upper" : "lower"; };

  ImportedSection result;
  if (truncated) {
    const double missing = longer->end.x - shorter->end.x;
    shorter->slope = missing > 0 ? (longer->end.y - shorter->end.y) / missing : 0;
    result.warnings.push_back("The " + std::string(surfaceName(shorter)) + " surface ends " +
                              Percent(missing, 4) + " % of the chord short of the " +
                              surfaceName(longer) + " one: continued by a straight line");
  }

  // y of a surface at a chord position, its lookups going on from where the
  // last one ended: the leading edge's ahead of it, the continuation beyond
  // its end.
  struct Walk {
    std::size_t k = 1;
  };
  const auto yAt = [&](const Surface& surface, double x, Walk& walk) {
    if (x <= surface.x[0]) return le.y;
    std::size_t& k = walk.k;
    while (k < surface.x.size() && surface.x[k] < x) ++k;
    while (k > 1 && surface.x[k - 1] >= x) --k;
    if (k == surface.x.size()) return surface.end.y + (x - surface.end.x) * surface.slope;
    const double a = k == 1 ? sLe : knot(surface.point(k - 1));
    const double b = knot(surface.point(k));
    const double lo = std::min(a, b), hi = std::max(a, b);
    // The two points are neighbours on the outline: one knot interval.
    const std::size_t segment = curve.Segment((lo + hi) / 2);
    const double t = Root([&](double v) { return inFrame(frame, curve.At(v, segment)).x - x; }, lo, hi);
    return inFrame(frame, curve.At(t, segment)).y;
  };

  std::vector<double> stations;
  if (options.at_file_stations) {
    stations.push_back(0);
    for (std::size_t k = 1; k < upper.x.size(); ++k) {
      const double x = std::clamp(upper.x[k], 0.0, 1.0);
      if (x > stations.back() + kSameStation) stations.push_back(x);
    }
  } else {
    for (int i = 0; i < options.stations; ++i)
      stations.push_back((1 - std::cos(std::numbers::pi * i / (options.stations - 1))) / 2);
  }

  // Thickness is looked at on every point of both surfaces, not only at the
  // stations: surfaces may cross between them.
  double crossing = HUGE_VAL;          // the foremost crossing
  double thinnest = 0, thinnestX = 0;  // the least thickness behind it
  const auto look = [&](double x, double thickness) {
    if (!(thickness < -kCrossing)) return;
    crossing = std::min(crossing, x);
    if (thickness < thinnest) thinnest = thickness, thinnestX = x;
  };
  for (const Surface* surface : {&upper, &lower}) {
    const Surface& other = surface == &upper ? lower : upper;
    Walk walk;
    const double sign = surface == &upper ? 1 : -1;
    for (std::size_t k = 1; k < surface->x.size(); ++k) {
      const double x = surface->x[k];
      const double y = inFrame(frame, at(surface->point(k))).y;
      look(x, sign * (y - yAt(other, x, walk)));
    }
  }
  Section& section = result.section;
  section.id_line = name;
  Walk upperWalk, lowerWalk;
  for (double x : stations) {
    const double yu = yAt(upper, x, upperWalk);
    const double yl = yAt(lower, x, lowerWalk);
    look(x, yu - yl);
    section.x.push_back(x);
    section.thickness.push_back(yu - yl);
    section.camber.push_back((yu + yl) / 2);
  }
  if (crossing < kCrossingAllowed) fail("The surfaces cross at " + Percent(crossing, 2) + " % of the chord");
  if (crossing != HUGE_VAL) {
    result.warnings.push_back("The surfaces cross at " + Percent(crossing, 2) +
                              " % of the chord: the thickness goes down to " + Percent(thinnest, 4) +
                              " % of the chord at " + Percent(thinnestX, 2) + " %");
  }
  for (std::size_t i = 0; i < stations.size(); ++i) {
    if (!std::isfinite(section.thickness[i]) || !std::isfinite(section.camber[i]))
      fail("The outline gives no finite thickness at " + Percent(section.x[i], 2) + " % of the chord");
  }

  ImportTransform& transform = result.transform;
  if (!kept) {
    transform.frame = ImportFrame::Normalised;
    transform.scale = std::ldexp(1 / frame.chord, -exponent);
    transform.angle_deg = std::atan2(frame.u.y, frame.u.x) * 180 / std::numbers::pi;
    transform.shift = {std::ldexp(frame.le.x, exponent), std::ldexp(frame.le.y, exponent)};
  }

  // The given points on their surfaces, from the leading edge on. A repeated
  // point lies where the point it repeats does.
  std::vector<CoordinatePoint> ahead, behind;  // before and after the leading edge
  for (const bool counting : {true, false}) {
    std::size_t sample = 0, before = 0, after = 0;
    CoordinatePoint p;
    for (std::size_t i = 0; i < given; ++i) {
      if (sampled[i]) {
        if (!counting) {
          const Point q = kept ? Point{std::ldexp(sx[sample], exponent), std::ldexp(sy[sample], exponent)}
                               : inFrame(frame, at(sample));
          p = {q.x, q.y};
        }
        ++sample;
      }
      const double t = knot(sample - 1);
      if (t <= sLe) counting ? void(++before) : ahead.push_back(p);
      if (t >= sLe) counting ? void(++after) : behind.push_back(p);
    }
    if (counting) ahead.reserve(before), behind.reserve(after);
  }
  std::reverse(ahead.begin(), ahead.end());
  result.upper = area >= 0 ? std::move(ahead) : std::move(behind);
  result.lower = area >= 0 ? std::move(behind) : std::move(ahead);
  return result;
}

}  // namespace tarvelo
