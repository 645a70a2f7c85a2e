// What the blade's files share inside the library: the table's columns as
// splines in r/R, the blade the table defines, and the surfaces fitted to it.
#pragma once

#include <tarvelo/tarvelo.h>

#include "lib/table_spline.h"

#include <array>
#include <string>
#include <vector>

namespace tarvelo {

// The table's r/R of each row, and the column a member of BladeRow holds.
std::vector<double> RowRadii(const std::vector<BladeRow>& rows);
std::vector<double> ColumnOf(const std::vector<BladeRow>& rows, double BladeRow::*column);

// Gauss-Legendre quadrature with 6 points on [0, 1], exact for polynomials up
// to degree 11: the nodes 1/2 -+ offset[i], each pair with the weight weight[i].
inline constexpr std::array<double, 3> kGaussOffset = {0.4662347571015760139062, 0.3306046932331322568307,
                                                       0.1193095930415984543153};
inline constexpr std::array<double, 3> kGaussWeight = {0.0856622461895851725201, 0.1803807865240693037849,
                                                       0.2339569672863455236949};

// The integral of f over [a, b] by that rule.
template <class F>
double GaussIntegral(double a, double b, F f) {
  double sum = 0;
  for (std::size_t i = 0; i < kGaussOffset.size(); ++i)
    for (const double s : {0.5 - kGaussOffset[i], 0.5 + kGaussOffset[i]}) sum += kGaussWeight[i] * f(a + s * (b - a));
  return sum * (b - a);
}

// The table's columns at one radius, lengths in the output's unit, angles
// in radians.
struct Station {
  double r_over_R = 0;
  double r = 0;
  double chord = 0;
  double pitch = 0;
  double sin_phi = 0, cos_phi = 1, tan_phi = 0;
  double thickness = 0;  // t0
  double camber = 0;     // f0
  double skew = 0;       // theta_s
  double rake = 0;       // x_R
};

// The foil at one parameter t: its chord position and normalised curves.
struct FoilPoint {
  double t = 0;
  double x = 0;
  double thickness = 0;
  double camber = 0;
};

// The blade the table defines.
class BladeShape {
 public:
  BladeShape(const std::vector<BladeRow>& rows, const FoilSpline& foil, double diameter, bool planar,
             bool left_handed);

  Station At(double r_over_R) const;
  FoilPoint Foil(double t) const;
  // The foil's parameter where x(t) = x.
  double ParameterOf(double x) const;
  // The point at w = +1 on the back, -1 on the face, between them across.
  std::array<double, 3> Point(const Station& s, const FoilPoint& f, double w) const;

  double root() const { return root_; }
  double tip() const { return tip_; }
  const std::vector<double>& foil_breaks() const { return foil_breaks_; }
  const std::vector<double>& radii() const { return radii_; }

 private:
  FoilSpline foil_;
  std::vector<double> knots_;
  std::vector<double> foil_breaks_;
  std::vector<double> radii_;
  ColumnSpline chord_, pitch_, thickness_, camber_, skew_, rake_;
  double diameter_;
  bool planar_;
  bool left_;
  double root_, tip_;
};

// The surfaces fitted to the shape within `tolerance` (in the unit), and
// the largest deviation found.
struct FittedSurfaces {
  std::vector<BladeSurface> surfaces;
  BladeDeviation deviation;
};
FittedSurfaces FitBladeSurfaces(const BladeShape& shape, double tolerance);

// The volume, the area ratios and the sections of the blade, from the table
// and the foil: Blade's members below its surfaces.
void ReportBlade(const BladeShape& shape, Blade& blade);

// The blade's shape again, for what is written of it.
BladeShape ShapeOf(const Blade& blade);

// A row in a message: "line 7" in a file, "row 3" in memory; with a column,
// "line 7, column c/D".
std::string RowName(const BladeRow& row, std::size_t index);
std::string RowPlace(const BladeRow& row, std::size_t index, const std::string& column);

}  // namespace tarvelo
