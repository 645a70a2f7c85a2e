// The properties of a section outline, from its splines: x(t), thickness(t)
// and camber(t) are cubic polynomials on every knot span, so each integral
// is the integral of a polynomial, and each extreme a root of a quadratic.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "bspline/bezier.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

// Gauss-Legendre quadrature with 6 points on [0, 1], exact for polynomials
// up to degree 11: the highest integrand below is (x - xc)^2 thickness dx/ds,
// or thickness^3 dx/ds, of degree 3 + 3 + 3 + 2. The nodes lie symmetrically
// at 1/2 -+ kOffset[i], each pair with the weight kWeight[i].
constexpr std::array<double, 3> kOffset = {0.4662347571015760139062, 0.3306046932331322568307,
                                           0.1193095930415984543153};
constexpr std::array<double, 3> kWeight = {0.0856622461895851725201, 0.1803807865240693037849,
                                           0.2339569672863455236949};

// The sum over every span of the integral of f(x, thickness, camber) dx.
template <class F>
double Integral(const std::vector<OutlineSpan>& spans, F f) {
  double sum = 0;
  for (const OutlineSpan& p : spans) {
    for (std::size_t i = 0; i < kOffset.size(); ++i) {
      for (const double s : {0.5 - kOffset[i], 0.5 + kOffset[i]})
        sum += kWeight[i] * f(BezierValue(p.x, s), BezierValue(p.thickness, s), BezierValue(p.camber, s)) *
               BezierSlope(p.x, s);
    }
  }
  return sum;
}

// The parameters in (0, 1) where the derivative of the cubic vanishes: the
// roots of its quadratic, each refined by Newton's method on it.
std::vector<double> Stationary(const BezierCubic& b) {
  const double d0 = b[1] - b[0], d1 = b[2] - b[1], d2 = b[3] - b[2];
  // d0 (1-s)^2 + 2 d1 s (1-s) + d2 s^2 = a s^2 + 2 h s + d0
  const double a = d0 - 2 * d1 + d2, h = d1 - d0;
  std::vector<double> roots;
  if (a == 0) {
    if (h != 0) roots.push_back(-d0 / (2 * h));
  } else {
    const double disc = h * h - a * d0;
    if (disc < 0) return {};
    // The root of larger magnitude first, the other from the product, so
    // that neither loses its digits to cancellation.
    const double q = -(h + std::copysign(std::sqrt(disc), h));
    if (q != 0) roots.insert(roots.end(), {q / a, d0 / q});
    else roots.push_back(0);
  }
  std::vector<double> inside;
  for (double s : roots) {
    if (!(s > 0 && s < 1)) continue;
    for (int step = 0; step < 2; ++step) {
      const double slope = a * s * s + 2 * h * s + d0, curve = 2 * (a * s + h);
      if (curve == 0) break;
      const double next = s - slope / curve;
      if (!(next > 0 && next < 1)) break;
      s = next;
    }
    inside.push_back(s);
  }
  return inside;
}

// The largest (sign 1) or smallest (sign -1) value of a curve on the
// outline, and the first x where it is.
struct Extreme {
  double value = 0;
  double x = 0;
};

Extreme Largest(const std::vector<OutlineSpan>& spans, const BezierCubic OutlineSpan::*curve, double sign) {
  Extreme best{sign * -std::numeric_limits<double>::infinity(), 0};
  for (const OutlineSpan& p : spans) {
    std::vector<double> at = {0};
    for (double s : Stationary(p.*curve)) at.push_back(s);
    at.push_back(1);
    std::sort(at.begin() + 1, at.end());
    for (double s : at) {
      const double v = BezierValue(p.*curve, s);
      if (sign * v > sign * best.value) best = {v, BezierValue(p.x, s)};
    }
  }
  return best;
}

// The coefficient of s^k of the cubic, k = 0 .. 3.
std::array<double, 4> Power(const BezierCubic& b) {
  return {b[0], 3 * (b[1] - b[0]), 3 * (b[0] - 2 * b[1] + b[2]), b[3] - b[0] + 3 * (b[1] - b[2])};
}

// The limit of (thickness / 2)^2 / (2 x) at the leading edge, where x = 0:
// thickness ~ a s^p and x ~ b s^q on the first span give a^2 / (8 b) where
// 2p = q, 0 where 2p > q and infinity where 2p < q.
double LeadingEdgeRadius(const OutlineSpan& first) {
  const std::array<double, 4> t = Power(first.thickness);
  const std::array<double, 4> x = Power(first.x);
  std::size_t p = 0, q = 1;
  while (p < 4 && t[p] == 0) ++p;
  while (q < 4 && x[q] == 0) ++q;
  if (p == 4) return 0;
  if (q == 4 || 2 * p < q) return std::numeric_limits<double>::infinity();
  if (2 * p > q) return 0;
  const double radius = t[p] * t[p] / (8 * x[q]);
  // Infinite above means a blunt nose; here it could only be an overflow.
  if (!std::isfinite(radius)) throw BeyondDoubles("the section property le_radius");
  return radius;
}

// The angle from the upper surface's tangent to the lower one's at the
// trailing edge, both pointing aft: the last legs of their Bezier polygons.
double TrailingEdgeAngle(const OutlineSpan& last) {
  const double dx = last.x[3] - last.x[2];
  const double dc = last.camber[3] - last.camber[2], dt = last.thickness[3] - last.thickness[2];
  const double du = dc + dt / 2, dl = dc - dt / 2;
  return std::atan2(dx * (dl - du), dx * dx + du * dl) * 180 / std::numbers::pi;
}

}  // namespace

OutlineSize DrawnExtremes(const FoilSpline& foil, const OutlineSize& size) {
  const std::vector<OutlineSpan> spans = OutlineSpans(foil, size);
  const double highest = Largest(spans, &OutlineSpan::camber, 1).value;
  const double lowest = Largest(spans, &OutlineSpan::camber, -1).value;
  return {Largest(spans, &OutlineSpan::thickness, 1).value, (-lowest > highest ? lowest : highest) + 0.0};
}

LowestThickness LowestThicknessOf(const FoilSpline& foil, double up_to) {
  const std::vector<OutlineSpan> spans = OutlineSpans(foil, {1, 0});
  LowestThickness lowest{foil.thickness.front(), 0};
  try {
    const double end = foil.Evaluate(up_to).thickness;
    if (end < lowest.value) lowest = {end, up_to};
  } catch (const Error&) {
    // Ordinates near the largest double sum beyond it there: what cannot be
    // evaluated is refused by whatever evaluates it, not taken as crossed.
  }
  // A curve lies within the hull of its Bezier ordinates: only a span with
  // one below the lowest value found so far can hold a lower one.
  for (const OutlineSpan& p : spans) {
    if (p.x[0] > up_to) break;
    if (*std::min_element(p.thickness.begin(), p.thickness.end()) >= lowest.value) continue;
    std::vector<double> at = {1};
    for (double s : Stationary(p.thickness)) at.push_back(s);
    for (double s : at) {
      const double v = BezierValue(p.thickness, s), x = BezierValue(p.x, s);
      if (v < lowest.value && x <= up_to) lowest = {v, x};
    }
  }
  return lowest;
}

const std::vector<PropertyField>& PropertyFields() {
  using P = OutlineProperties;
  static const std::vector<PropertyField> fields = {
      {"max_thickness", "Largest thickness", &P::max_thickness},
      {"max_thickness_x", "  at x", &P::max_thickness_x},
      {"max_camber", "Largest camber", &P::max_camber},
      {"max_camber_x", "  at x", &P::max_camber_x},
      {"min_camber", "Smallest camber", &P::min_camber},
      {"min_camber_x", "  at x", &P::min_camber_x},
      {"le_radius", "Leading-edge radius", &P::le_radius},
      {"te_thickness", "Trailing-edge thickness", &P::te_thickness},
      {"te_angle_deg", "Trailing-edge angle (deg)", &P::te_angle_deg},
      {"area", "Area", &P::area},
      {"centroid_x", "Centroid x", &P::centroid_x},
      {"centroid_y", "Centroid y", &P::centroid_y},
      {"ixx", "Ixx about the centroid", &P::ixx},
      {"iyy", "Iyy about the centroid", &P::iyy},
      {"ixy", "Ixy about the centroid", &P::ixy},
  };
  return fields;
}

OutlineProperties SectionProperties(const FoilSpline& foil, const OutlineSize& size,
                                    std::optional<double> te_thickness) {
  CheckCamberScale(foil, size);
  const FoilSpline drawn = WithTrailingEdge(foil, size, te_thickness);
  if (drawn.control_x.front() != 0 || drawn.control_x.back() != 1) throw NotAFoilSpline();
  const std::vector<OutlineSpan> spans = OutlineSpans(drawn, size);
  OutlineProperties p;

  const Extreme thickest = Largest(spans, &OutlineSpan::thickness, 1);
  const Extreme highest = Largest(spans, &OutlineSpan::camber, 1);
  const Extreme lowest = Largest(spans, &OutlineSpan::camber, -1);
  p.max_thickness = thickest.value;
  p.max_thickness_x = thickest.x;
  // A section without camber has none at all: 0, not -0.
  p.max_camber = highest.value + 0.0;
  p.max_camber_x = highest.x;
  p.min_camber = lowest.value + 0.0;
  p.min_camber_x = lowest.x;
  p.le_radius = LeadingEdgeRadius(spans.front());
  p.te_thickness = spans.back().thickness[3];
  p.te_angle_deg = TrailingEdgeAngle(spans.back());

  // Between the surfaces y = c -+ t / 2 at each x: the area is the integral
  // of t dx, the moment of y that of ((c + t/2)^2 - (c - t/2)^2) / 2 = c t
  // dx, and the second moment of y that of (c^3 - ...) / 3 = c^2 t + t^3 / 12.
  p.area = Integral(spans, [](double, double t, double) { return t; });
  p.centroid_x = Integral(spans, [](double x, double t, double) { return x * t; }) / p.area;
  p.centroid_y = Integral(spans, [](double, double t, double c) { return c * t; }) / p.area + 0.0;
  // The second moments about the centroid directly, not by the parallel-axis
  // shift, which would subtract two nearly equal numbers.
  const double xc = p.centroid_x, yc = p.centroid_y;
  p.iyy = Integral(spans, [xc](double x, double t, double) { return (x - xc) * (x - xc) * t; });
  p.ixx = Integral(spans, [yc](double, double t, double c) { return (c - yc) * (c - yc) * t + t * t * t / 12; });
  p.ixy = Integral(spans, [xc, yc](double x, double t, double c) { return (x - xc) * (c - yc) * t; }) + 0.0;
  // Ordinates far beyond any section's overflow the integrals of their cubes:
  // the first figure that did is named rather than given as infinite or NaN.
  for (const PropertyField& f : PropertyFields()) {
    const double v = p.*f.value;
    if (!std::isfinite(v) && !(f.value == &OutlineProperties::le_radius && std::isinf(v)))
      throw BeyondDoubles("the section property " + std::string(f.key));
  }
  return p;
}

}  // namespace tarvelo
