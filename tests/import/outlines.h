// Outlines made from formulas for the import's tests: NACA four-digit
// sections, placed anywhere, listed as Selig or Lednicer files.
#pragma once

#include <tarvelo/tarvelo.h>

#include <charconv>
#include <functional>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace tarvelo::test {

using Points = std::vector<CoordinatePoint>;

// A NACA four-digit section: camber m at p, thickness t; the standard
// thickness leaves the trailing edge open, the closed variant shuts it.
struct Naca {
  double m, p, t;
  bool closed = false;
  double Half(double x) const {
    const double x4 = closed ? 0.1036 : 0.1015;
    return 5 * t * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                    x4 * x * x * x * x);
  }
  double Mean(double x) const {
    if (m == 0) return 0;
    return x < p ? m / (p * p) * (2 * p * x - x * x)
                 : m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
  }
  double Slope(double x) const {
    if (m == 0) return 0;
    return x < p ? 2 * m / (p * p) * (p - x) : 2 * m / ((1 - p) * (1 - p)) * (p - x);
  }
};

inline double Cosine(int i, int n) { return (1 - std::cos(std::numbers::pi * i / (n - 1))) / 2; }

// Both surfaces from the leading edge to the trailing edge, in the vertical
// convention y = mean +- half thickness, at cosine-spaced x.
struct Surfaces {
  Points upper, lower;
};

inline Surfaces NacaSurfaces(const Naca& naca, int points, int lower_points = 0) {
  Surfaces s;
  for (int i = 0; i < points; ++i) {
    const double x = Cosine(i, points);
    s.upper.push_back({x, naca.Mean(x) + naca.Half(x)});
  }
  const int n = lower_points > 0 ? lower_points : points;
  for (int i = 0; i < n; ++i) {
    const double x = Cosine(i, n);
    s.lower.push_back({x, naca.Mean(x) - naca.Half(x)});
  }
  return s;
}

// Both surfaces with the thickness laid off across the mean line, as the
// published sections are drawn: at the mean line's x, the points
// (x -+ y_t sin(theta), y_c +- y_t cos(theta)), theta its slope's angle.
template <class Half, class Mean, class Slope>
Surfaces AcrossSurfaces(Half half, Mean mean, Slope slope, const std::vector<double>& stations) {
  Surfaces s;
  for (double x : stations) {
    const double theta = std::atan(slope(x)), yt = half(x);
    s.upper.push_back({x - yt * std::sin(theta), mean(x) + yt * std::cos(theta)});
    s.lower.push_back({x + yt * std::sin(theta), mean(x) - yt * std::cos(theta)});
  }
  return s;
}

// The five-digit mean line 230 (r = 0.2025, k1 = 15.957) and its slope.
inline double Mean230(double x) {
  constexpr double r = 0.2025, k1 = 15.957;
  return x < r ? k1 / 6 * (x * x * x - 3 * r * x * x + r * r * (3 - r) * x) : k1 * r * r * r / 6 * (1 - x);
}
inline double Slope230(double x) {
  constexpr double r = 0.2025, k1 = 15.957;
  return x < r ? k1 / 6 * (3 * x * x - 6 * r * x + r * r * (3 - r)) : -k1 * r * r * r / 6;
}

// The stations of the published tables of four- and five-digit sections.
inline const std::vector<double>& TableStations() {
  static const std::vector<double> x = {0,    0.0125, 0.025, 0.05, 0.075, 0.1, 0.15, 0.2, 0.25,
                                        0.3,  0.4,    0.5,   0.6,  0.7,   0.8, 0.9,  0.95, 1};
  return x;
}

// NACA 23012 as its table lists it: the thickness across the mean line, at
// the table's stations. Its points lie at x >= 0, but the curve through them
// reaches 4.8e-4 of the chord ahead of x = 0, between (0, 0) and the upper
// surface's first point.
inline Surfaces Naca23012Table() {
  const Naca thickness{0, 0, 0.12};
  return AcrossSurfaces([&](double x) { return thickness.Half(x); }, Mean230, Slope230, TableStations());
}

// Selig order: from the trailing edge over the upper surface round the
// leading edge (once) and back along the lower one; or the other way round.
inline Points Selig(const Surfaces& s, bool lower_first = false) {
  const Points& first = lower_first ? s.lower : s.upper;
  const Points& second = lower_first ? s.upper : s.lower;
  Points p(first.rbegin(), first.rend());
  p.insert(p.end(), second.begin() + 1, second.end());
  return p;
}

// Turned by `degrees` about the origin, scaled by `chord`, moved by (dx, dy).
inline Points Placed(Points points, double chord, double degrees, double dx, double dy) {
  const double a = degrees * std::numbers::pi / 180;
  for (CoordinatePoint& p : points) {
    const CoordinatePoint q = p;
    p = {chord * (q.x * std::cos(a) - q.y * std::sin(a)) + dx,
         chord * (q.x * std::sin(a) + q.y * std::cos(a)) + dy};
  }
  return points;
}

// The shortest text that reads back as the same double.
inline std::string Text(double v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

inline std::string SeligText(const std::string& name, const Points& points) {
  std::string text = name + "\n";
  for (const CoordinatePoint& p : points) text += Text(p.x) + " " + Text(p.y) + "\n";
  return text;
}

inline std::string LednicerText(const std::string& name, const Surfaces& s) {
  std::string text = name + "\n" + std::to_string(s.upper.size()) + ".  " +
                     std::to_string(s.lower.size()) + ".\n";
  for (const Points* surface : {&s.upper, &s.lower}) {
    text += "\n";
    for (const CoordinatePoint& p : *surface) text += Text(p.x) + " " + Text(p.y) + "\n";
  }
  return text;
}

}  // namespace tarvelo::test
