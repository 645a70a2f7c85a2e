// The blade a radial table and a foil define: the columns interpolated in
// r/R, and each point of the back, the face and what lies between them.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "bspline/exact.h"
#include "lib/blade.h"
#include "lib/foil.h"

namespace tarvelo {

std::vector<double> RowRadii(const std::vector<BladeRow>& rows) { return ColumnOf(rows, &BladeRow::r); }

std::vector<double> ColumnOf(const std::vector<BladeRow>& rows, double BladeRow::*column) {
  std::vector<double> v;
  for (const BladeRow& row : rows) v.push_back(row.*column);
  return v;
}

BladeShape::BladeShape(const std::vector<BladeRow>& rows, const FoilSpline& foil, double diameter, bool planar,
                       bool left_handed)
    : foil_(foil), knots_(KnotsOf(foil)), radii_(RowRadii(rows)), diameter_(diameter), planar_(planar),
      left_(left_handed), root_(rows.front().r), tip_(rows.back().r) {
  for (double k : knots_)
    if (foil_breaks_.empty() || k != foil_breaks_.back()) foil_breaks_.push_back(k);
  chord_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::chord));
  pitch_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::pitch));
  thickness_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::thickness));
  camber_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::camber));
  skew_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::skew_deg));
  rake_ = InterpolateColumn(radii_, ColumnOf(rows, &BladeRow::rake));
}

Station BladeShape::At(double r_over_R) const {
  Station s;
  s.r_over_R = r_over_R;
  s.r = r_over_R * diameter_ / 2;
  s.chord = chord_.Value(r_over_R) * diameter_;
  s.pitch = pitch_.Value(r_over_R) * diameter_;
  const double around = 2 * std::numbers::pi * s.r;
  const double hypot = std::hypot(s.pitch, around);
  s.sin_phi = s.pitch / hypot;
  s.cos_phi = around / hypot;
  s.tan_phi = s.pitch / around;
  s.thickness = thickness_.Value(r_over_R) * s.chord;
  s.camber = camber_.Value(r_over_R) * s.chord;
  s.skew = skew_.Value(r_over_R) * std::numbers::pi / 180;
  s.rake = rake_.Value(r_over_R) * diameter_;
  return s;
}

FoilPoint BladeShape::Foil(double t) const {
  const ExactBasis b = ExactBasisAt(knots_, static_cast<int>(foil_.control_x.size()), t);
  return {t, SplineValue(foil_.control_x, b), SplineValue(foil_.thickness, b), SplineValue(foil_.camber, b)};
}

double BladeShape::ParameterOf(double x) const {
  return ParameterAt(knots_, foil_.control_x, x, std::sqrt(x)).t;
}

std::array<double, 3> BladeShape::Point(const Station& s, const FoilPoint& f, double w) const {
  const double along = s.chord * (0.5 - f.x);
  const double across = s.camber * f.camber + w * s.thickness * f.thickness / 2;
  const double theta = -s.skew + (along * s.cos_phi - across * s.sin_phi) / s.r;
  const double x = s.rake + s.r * s.skew * s.tan_phi - along * s.sin_phi - across * s.cos_phi;
  double y = planar_ ? s.r * theta : s.r * std::sin(theta);
  const double z = planar_ ? s.r : s.r * std::cos(theta);
  if (left_) y = -y;
  return {x, y, z};
}

}  // namespace tarvelo
