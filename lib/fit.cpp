// FitSection: the least-squares fit of a section's thickness and camber,
// each step the engine's (bspline/fitting.h): the data normalised as they
// are read, the basis kept in bands, the results straight into the Fit. The
// placement of the data points is a row of the table (lib/placement.h).
#include <tarvelo/tarvelo.h>

#include <cmath>

#include "bspline/bspline.h"
#include "bspline/fitting.h"
#include "lib/between.h"
#include "lib/placement.h"

namespace tarvelo {

namespace {

[[noreturn]] void Stop(FitStatus status) { throw FitStopError(status); }

// The largest value as read, never below 0 (the reader's strict comparison).
double LargestValue(const std::vector<double>& values) {
  double ymax = 0;
  for (double v : values)
    if (v > ymax) ymax = v;
  return ymax;
}

// The largest |fit(x_i) - y_i| of a curve, the fit evaluated with the basis
// `exact` at each data point's own chord position, scaled per chord like the
// R.M.S. error.
void TrueDeviation(const BandArray<double>& exact, const Section& section, CurveFit& curve,
                   const std::vector<double>& values) {
  const double scale = curve.ymax > 0 ? curve.ymax : 1.0;
  const std::span<const int> firsts = exact.firsts();
  const std::span<const double> bands = exact.values();
  const auto width = static_cast<std::size_t>(exact.width());
  double largest = -1;
  for (std::size_t i = 0; i < values.size(); ++i) {
    double y = 0;
    for (std::size_t a = 0; a < width; ++a)
      y += bands[i * width + a] * curve.control[static_cast<std::size_t>(firsts[i] - 1) + a];
    const double data = curve.ymax > 0 ? values[i] / curve.ymax : values[i];
    const double d = std::fabs(y - data);
    if (d > largest) {
      largest = d;
      curve.max_deviation_x = section.x[i];
    }
  }
  curve.max_deviation = scale * std::max(largest, 0.0);
}

}  // namespace

Error FitStopError(FitStatus status) {
  if (status == FitStatus::Overflow)
    return Error(ErrorKind::Overflow, "a value of the fit is beyond the range of single precision");
  return Error(ErrorKind::Singular, "the fit is singular: a control point has no data point within its reach");
}

Fit FitWith(const Section& section, const FitOptions& options, bool deviations) {
  const int nv = options.control_points;
  const int ko = 4;
  if (nv < kFewestControlPoints || nv > kMostControlPoints)
    throw Error(ErrorKind::Usage, "4 to " + std::to_string(kMostControlPoints) + " control points are allowed, not " +
                                      std::to_string(nv));
  const std::size_t nd = section.points();
  if (section.thickness.size() != nd || section.camber.size() != nd)
    throw Error(ErrorKind::Usage, "x, thickness and camber of the section differ in length");
  if (nd <= static_cast<std::size_t>(nv)) {
    throw Error(ErrorKind::TooFewPoints, std::to_string(nv) + " control points need at least " +
                                             std::to_string(nv + 1) + " data points; the section has " + std::to_string(nd));
  }
  const PlaceFunction place = FindPlacementRow(options.placement).place;

  Fit fit;
  fit.id_line = section.id_line;
  fit.control_points = nv;
  fit.order = ko;
  fit.placement = options.placement;

  Array1<double> tk;
  tk.allocate(1, nv + ko);
  KNOTS(ko, nv, tk);
  Placed placed = place(nv, tk, section.x);
  const Array1<double>& xcp = placed.xcp;
  const BandArray<double>& bd = placed.bd;
  fit.knots.assign(tk.span().begin(), tk.span().end());
  fit.control_x.assign(xcp.span().begin(), xcp.span().end());
  Array2<double> h;
  Flag lsing = kFalse;
  fit.x.resize(nd);
  std::vector<float> yr(nd);
  for (int k = 1; k <= 2; ++k) {
    const std::vector<double>& values = k == 1 ? section.thickness : section.camber;
    CurveFit& curve = k == 1 ? fit.thickness : fit.camber;
    curve.ymax = LargestValue(values);
    const CurveData data{values, curve.ymax};
    if (const FitStatus status = RightHandSide(data, bd, yr); status != FitStatus::Done) Stop(status);

    curve.control.resize(static_cast<std::size_t>(nv));
    curve.fitted.resize(nd);
    curve.difference.resize(nd);
    CurveOutput out{curve.control, k == 1 ? std::span<double>(fit.x) : std::span<double>(),
                    curve.fitted, curve.difference};
    const FitStatus status = FitCurve(nv, bd, yr, data, curve.ymax, xcp, h, lsing, out);
    if (status != FitStatus::Done) Stop(status);
    curve.rms = out.rms;
  }

  // Where the placement stopped short of a point's own chord position.
  for (std::size_t i = 0; i < nd; ++i) {
    const double off = std::fabs(fit.x[i] - section.x[i]);
    if (off > kPlacementTolerance) ++fit.misplaced_points;
    if (off > fit.largest_misplacement) fit.largest_misplacement = off;
  }
  if (!deviations) return fit;
  // The true deviations, at each point's own chord position.
  BandArray<double> own;
  if (!placed.exact) {
    std::vector<double> t;
    PlacePointsExactly(tk, xcp, section.x, {}, own, t);
  }
  const BandArray<double>& exact = placed.exact ? placed.bd : own;
  TrueDeviation(exact, section, fit.thickness, section.thickness);
  TrueDeviation(exact, section, fit.camber, section.camber);
  for (const int k : {1, 2}) {
    CurveFit& curve = k == 1 ? fit.thickness : fit.camber;
    const std::vector<double>& values = k == 1 ? section.thickness : section.camber;
    std::vector<double> normalised(values);
    if (curve.ymax > 0)
      for (double& v : normalised) v /= curve.ymax;
    const Stray stray = BetweenPoints(fit.knots, curve.control, section.x, normalised);
    curve.between_deviation = (curve.ymax > 0 ? curve.ymax : 1.0) * stray.deviation;
    curve.between_deviation_x = stray.x;
  }
  return fit;
}

Fit FitSection(const Section& section, const FitOptions& options) {
  return FitWith(section, options, options.deviations);
}

Fit FitSection(const Section& section, int control_points) {
  return FitSection(section, FitOptions{control_points, kDefaultPlacement});
}

}  // namespace tarvelo
