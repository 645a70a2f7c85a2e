// The figures of a blade, from its table and foil rather than its surfaces:
// the volume Z times the integral of the section area over r, the expanded
// and projected area ratios, and each row's section at its own chord.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "lib/blade.h"

namespace tarvelo {

namespace {

// The projected outline's integrand is no polynomial: each table interval is
// cut into this many pieces for it, and each section sampled at this many
// foil parameters per side, the extremes refined by a parabola.
constexpr int kProjectedPieces = 16;
constexpr int kProjectedSamples = 400;

// The widest angle a section spans about the shaft.
double AngleSpan(const BladeShape& shape, const Station& s) {
  const auto theta = [&](double t, double w) {
    const std::array<double, 3> p = shape.Point(s, shape.Foil(t), w);
    return std::atan2(p[1], p[2]);
  };
  double lo = 0, hi = 0;
  for (double w : {1.0, -1.0}) {
    std::vector<double> v(kProjectedSamples + 1);
    for (int i = 0; i <= kProjectedSamples; ++i) v[static_cast<std::size_t>(i)] = theta(double(i) / kProjectedSamples, w);
    for (double sign : {1.0, -1.0}) {
      const auto best = sign > 0 ? std::max_element(v.begin(), v.end()) : std::min_element(v.begin(), v.end());
      double e = *best;
      const auto i = best - v.begin();
      if (i > 0 && i < kProjectedSamples) {
        // The vertex of the parabola through the best sample and its neighbours.
        const double a = v[static_cast<std::size_t>(i - 1)], b = *best, c = v[static_cast<std::size_t>(i + 1)];
        const double den = a - 2 * b + c;
        if (den != 0) {
          const double h = 1.0 / kProjectedSamples, d = 0.5 * (a - c) / den;
          e = theta((static_cast<double>(i) + d) * h, w);
          e = sign > 0 ? std::max(e, b) : std::min(e, b);
        }
      }
      if (w == 1.0 && sign > 0) hi = e;
      else if (w == 1.0) lo = e;
      else if (sign > 0) hi = std::max(hi, e);
      else lo = std::min(lo, e);
    }
  }
  return hi - lo;
}

}  // namespace

void ReportBlade(const BladeShape& shape, Blade& blade) {
  const double radius = blade.diameter / 2;
  const std::vector<double>& rows = shape.radii();
  const double area_of_t = SectionProperties(blade.foil, {1, 0}).area;
  double volume = 0, chords = 0, projected = 0;
  for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
    // The columns are cubic between rows: the area t0 c^2 is of degree 9,
    // which the rule integrates exactly.
    const double a = rows[i] * radius, b = rows[i + 1] * radius;
    volume += GaussIntegral(a, b, [&](double r) {
      const Station s = shape.At(r / radius);
      return s.thickness * s.chord * area_of_t;
    });
    chords += GaussIntegral(a, b, [&](double r) { return shape.At(r / radius).chord; });
    for (int k = 0; k < kProjectedPieces; ++k) {
      const double pa = a + (b - a) * k / kProjectedPieces, pb = a + (b - a) * (k + 1) / kProjectedPieces;
      projected += GaussIntegral(pa, pb, [&](double r) {
        const Station s = shape.At(r / radius);
        return s.chord > 0 ? r * AngleSpan(shape, s) : 0.0;
      });
    }
  }
  const double disc = std::numbers::pi * radius * radius;
  blade.volume = blade.blades * volume;
  blade.expanded_area_ratio = blade.blades * chords / disc;
  blade.projected_area_ratio = blade.blades * projected / disc;

  blade.sections.clear();
  for (const BladeRow& row : blade.rows) {
    BladeSection section;
    section.row = row;
    section.radius = row.r * radius;
    const Station s = shape.At(row.r);
    section.pitch_angle_deg = std::atan2(s.pitch, 2 * std::numbers::pi * s.r) * 180 / std::numbers::pi;
    OutlineProperties p = SectionProperties(blade.foil, {row.thickness, row.camber});
    // A tip of no chord has a section of no size.
    const double c = row.chord * blade.diameter;
    if (c == 0) p = OutlineProperties{};
    for (double* length : {&p.max_thickness, &p.max_thickness_x, &p.max_camber, &p.max_camber_x, &p.min_camber,
                           &p.min_camber_x, &p.le_radius, &p.te_thickness, &p.centroid_x, &p.centroid_y})
      *length *= c;
    p.area *= c * c;
    for (double* moment : {&p.ixx, &p.iyy, &p.ixy}) *moment *= c * c * c * c;
    section.properties = p;
    blade.sections.push_back(section);
  }
}

}  // namespace tarvelo
