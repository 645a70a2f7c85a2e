// Outlines made from formulas for the import's tests: NACA four-digit
// sections, placed anywhere, listed as Selig or Lednicer files.
#pragma once

#include <tarvelo/tarvelo.h>

#include <charconv>
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
