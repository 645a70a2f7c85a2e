// FitSection: the fit of the window's run on a section held in memory. The
// steps and their arithmetic are the run's own (bspline/fitting.h); only the
// storage differs: the data are normalised as they are read, the basis is
// kept in bands and the results go straight into the Fit.
#include <tarvelo/tarvelo.h>


#include "bspline/bspline.h"
#include "bspline/fitting.h"
#include "foilio/fit_messages.h"

namespace tarvelo {

namespace {

[[noreturn]] void Stop(FitStatus status) {
  throw Error(status == FitStatus::Overflow ? ErrorKind::Overflow : ErrorKind::Singular,
              StopMessage(status));
}

// The largest value as read, never below 0 (the reader's strict comparison).
double LargestValue(const std::vector<double>& values) {
  double ymax = 0;
  for (double v : values)
    if (v > ymax) ymax = v;
  return ymax;
}

}  // namespace

Fit FitSection(const Section& section, int control_points) {
  const int nv = control_points;
  const int ko = 4;
  if (nv < 4 || nv > 20) throw Error(ErrorKind::Usage, kCountMessage);
  const std::size_t nd = section.points();
  if (section.thickness.size() != nd || section.camber.size() != nd)
    throw Error(ErrorKind::Usage, "   x, thickness and camber of the section differ in length !! ");
  if (nd <= static_cast<std::size_t>(nv)) {
    const auto lines = InsufficientData(nv);
    throw Error(ErrorKind::TooFewPoints, lines[0] + "\n" + lines[1]);
  }

  Fit fit;
  fit.id_line = section.id_line;
  fit.control_points = nv;
  fit.order = ko;

  Array1<double> tk;
  tk.allocate(1, nv + ko);
  KNOTS(ko, nv, tk);
  Array2<double> b;
  b.allocate(1, nv, 0, ko);
  Array2<double> h;
  h.allocate(1, nv - 3, 1, nv - 2);
  Flag lsing = kFalse;
  Array1<double> xcp;
  xcp.allocate(1, nv);
  if (!SolveXSpline(ko, nv, tk, b, h, lsing, xcp)) Stop(FitStatus::Singular);

  Array2<double> c1;
  c1.allocate(1, nv, 0, 1);
  for (int j = 1; j <= nv; ++j) c1(j, 0) = xcp(j);
  BSCOEFS(ko, nv, tk, 1, c1);
  Array1<double> f;
  f.allocate(0, 1);
  BandArray<double> bd;
  PlacePoints(ko, nv, tk, c1, section.x, f, b, bd);

  fit.knots.assign(tk.span().begin(), tk.span().end());
  fit.control_x.assign(xcp.span().begin(), xcp.span().end());
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
    curve.max_deviation = out.max_deviation;
    curve.max_deviation_x = section.x[out.max_at];
  }
  return fit;
}

}  // namespace tarvelo
