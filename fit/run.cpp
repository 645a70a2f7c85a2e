#include "fit/run.h"

#include <algorithm>
#include <cmath>

#include "bspline/bspline.h"
#include "fit/field_number.h"
#include "foilio/foil_files.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

// The field's initial text: Start pressed before any file was chosen.
constexpr const char* kInputFieldPrompt = "Input-File";

// A file name must have a point fourth from its end (A.dat, B.FOI); of a
// shorter name the first character is looked at, and an empty name fails.
bool HasExtensionPoint(const std::string& name) {
  if (name.empty()) return false;
  const std::size_t from = name.size() >= 4 ? name.size() - 4 : 0;
  return name[from] == '.';
}

void ShowError(State& s, Display& Picture1) {
  Print_ErMsg(s, Picture1);
  s.ErFlag = kFalse;
}

void ShowSingular(State& s, Display& Picture1) {
  s.ErMsg = " ***** SINGULAR !!  - check your input data ";
  Print_ErMsg(s, Picture1);
}

// Only the first failing check reports; the area is blank before any message.
bool NamesValid(State& s, Display& Picture1, Form& form) {
  s.ErFlag = kFalse;
  const std::string text1 = form.Text(Field::Text1);
  if (text1 == kInputFieldPrompt) {
    s.ErMsg = "  [" + text1 + "]" + " as input file name invalid !!";
    s.ErFlag = kTrue;
  }
  Picture1.Cls();
  if (s.ErFlag == kFalse && !HasExtensionPoint(s.InFile)) {
    s.ErMsg = "  " + s.InFile + " as input file name invalid !!";
    s.ErFlag = kTrue;
  }
  Picture1.Cls();
  if (s.ErFlag == kFalse && !HasExtensionPoint(s.OutFile)) {
    s.ErMsg = "  " + s.OutFile + " as output file name invalid !!";
    s.ErFlag = kTrue;
  }
  Picture1.Cls();
  return s.ErFlag == kFalse;
}

// x(t) = t^2 as a cubic spline: the first two control points are 0 and the
// last is 1; the others interpolate t^2 at the interior knots and one third
// of a span before the end.
bool FitXSpline(State& s, int nv) {
  s.ko = 4;
  s.n2 = nv - 3;
  s.xcp.allocate(1, nv);
  s.f.allocate(0, 1);
  s.c1.allocate(1, nv, 0, 1);
  s.ycp.allocate(1, nv, 1, 2);
  s.tk.allocate(1, nv + s.ko);
  s.b.allocate(1, nv, 0, 4);
  s.h.allocate(1, s.n2, 1, s.n2 + 1);
  s.ns = 3 * (nv - 3);
  KNOTS(s.ko, nv, s.tk);

  for (int ir = 1; ir <= nv - 3; ++ir) {
    s.t1 = static_cast<double>(3 * ir) / s.ns;
    if (ir == nv - 3) s.t1 = 1 - 1.0 / s.ns;
    COXD(s.ko, nv, s.tk, s.t1, s.b);
    for (int l = 1; l <= nv - 3; ++l) s.h(ir, l) = s.b(l + 2, 4);
    s.h(ir, nv - 2) = s.t1 * s.t1 - s.b(nv, 4);
  }
  GAUSS(s.h, s.n2, s.lsing);
  if (s.lsing != kFalse) return false;

  s.xcp(1) = 0;
  s.xcp(2) = 0;
  for (int l = 1; l <= nv - 3; ++l) s.xcp(l + 2) = s.h(l, nv - 2);
  s.xcp(nv) = 1;
  for (int j = 1; j <= nv; ++j) s.c1(j, 0) = s.xcp(j);
  return true;
}

// The parameter of every data point and the cubic basis there. The last
// control point of each curve is fixed to the last data point's value, so its
// share moves to the right-hand side (held in single precision).
void PlaceDataPoints(State& s, int nv) {
  s.n2 = nv - 2;
  s.tk.allocate(1, nv + s.ko);
  s.bd.allocate(1, s.nd, 1, nv);
  s.yr.allocate(1, s.nd, 1, 2);
  s.xd.allocate(1, s.nd, 1, 2);
  s.yfit.allocate(1, s.nd, 1, 2);
  s.b.allocate(1, nv, 0, 4);
  KNOTS(s.ko, nv, s.tk);
  BSCOEFS(s.ko, nv, s.tk, 1, s.c1);

  for (int i = 1; i <= s.nd; ++i) {
    s.xs = s.xin(i);
    TSearch(s);
    COXD(s.ko, nv, s.tk, s.t1, s.b);
    for (int j = 1; j <= nv; ++j) s.bd(i, j) = s.b(j, s.ko);
    for (int k = 1; k <= 2; ++k)
      s.yr(i, k) = static_cast<float>(s.yd(i, k) - s.yd(s.nd, k) * s.bd(i, nv));
  }
}

// Least squares for curve k with both end control points fixed (the first at
// 0), then the fit at the data points and its R.M.S. error per chord.
bool FitCurve(State& s, int nv, int k) {
  const int n2 = s.n2;
  s.h.allocate(1, n2, 1, n2 + 1);
  // The accumulation is the run's largest loop (nd * n2 * n2): it walks bd
  // and h by their strides (both were allocated in this run with exactly
  // these ranges) instead of checking every element. A row of bd holds at
  // most ko non-zero basis values; a product with one of its zeros adds an
  // exact zero to a sum that is never -0, so those products are skipped. The
  // right-hand side keeps every term.
  const auto bs = static_cast<std::ptrdiff_t>(s.bd.rows());
  const auto hs = static_cast<std::ptrdiff_t>(s.h.rows());
  double* const h11 = &s.h(1, 1);
  for (int i = 1; i <= s.nd; ++i) {
    const double* bdi = &s.bd(i, 1);  // bdi[(j - 1) * bs] is bd(i, j), j = 1..nv
    int lo = n2 + 1;
    int hi = 0;
    for (int l = 1; l <= n2; ++l) {
      if (bdi[l * bs] != 0) {
        lo = std::min(lo, l);
        hi = l;
      }
    }
    const double yrik = static_cast<double>(s.yr(i, k));
    for (int j = 1; j <= n2; ++j) {
      double* hj = h11 + (j - 1);  // hj[(l - 1) * hs] is h(j, l), l = 1..n2+1
      const double bij = bdi[j * bs];
      if (j >= lo && j <= hi)
        for (int l = lo; l <= hi; ++l) hj[(l - 1) * hs] += bij * bdi[l * bs];
      hj[n2 * hs] += bij * yrik;
    }
  }
  GAUSS(s.h, n2, s.lsing);
  if (s.lsing != kFalse) return false;

  s.ycp(1, k) = 0;
  for (int j = 2; j <= nv - 1; ++j) s.ycp(j, k) = s.h(j - 1, n2 + 1);
  s.ycp(nv, k) = s.yd(s.nd, k);

  // Sums in locals, in the same order as into xv and yv, stored after each point.
  const double* ycpk = s.ycp.column(k);  // ycpk[j - 1] is ycp(j, k)
  const double* x = &s.xcp(1);          // x[j - 1] is xcp(j)
  double sq = 0;
  for (int i = 1; i <= s.nd; ++i) {
    const double* bdi = &s.bd(i, 1);
    double xv = 0;
    double yv = 0;
    for (int j = 2; j <= nv; ++j) {
      yv += bdi[(j - 1) * bs] * ycpk[j - 1];
      xv += bdi[(j - 1) * bs] * x[j - 1];
    }
    s.xv = xv;
    s.yv = yv;
    s.xd(i, k) = xv;
    s.yfit(i, k) = yv;
    s.dy(i, k) = static_cast<float>(yv - s.yd(i, k));
    const double d = s.dy(i, k);
    sq += d * d;
  }
  s.sq = sq;
  // A curve with no positive value was not normalised: its error is already
  // per chord, and scaling it by 0 would hide a bad fit.
  const double scale = s.ymax(k) > 0 ? s.ymax(k) : 1.0;
  s.rms(k) = scale * std::sqrt(s.sq / s.nd);
  return true;
}

}  // namespace

bool FitData(State& s, Display& Picture1) {
  const int nv = static_cast<int>(s.ncp);
  for (int i = 1; i <= s.nd; ++i)
    for (int k = 1; k <= 2; ++k)
      if (s.ymax(k) > 0) s.yd(i, k) = s.yd(i, k) / s.ymax(k);

  if (!FitXSpline(s, nv)) {
    ShowSingular(s, Picture1);
    return false;
  }
  PlaceDataPoints(s, nv);
  for (int k = 1; k <= 2; ++k) {
    if (!FitCurve(s, nv, k)) {
      ShowSingular(s, Picture1);
      return false;
    }
  }
  return true;
}

void Main(State& s, Display& Picture1, Form& form) {
  if (!NamesValid(s, Picture1, form)) {
    ShowError(s, Picture1);
    return;
  }
  form.EnableCommand3();

  s.ncp = FieldNumber(form.Text(Field::Text3));
  if (s.ncp < 4 || s.ncp > 20) {
    s.ErMsg = "   4 to 20 control points are allowed !! ";
    Print_ErMsg(s, Picture1);
    return;
  }
  if (!Read_FoilData(s, Picture1)) {
    // Too few data points for ncp leaves its two lines on the area, no error line.
    if (s.ErFlag != kFalse) ShowError(s, Picture1);
    return;
  }

  if (!FitData(s, Picture1)) return;

  Write_FoilFile(s);
  if (s.ErFlag != kFalse) {
    ShowError(s, Picture1);
    return;
  }
  Print_FirstPage(s, Picture1);
}

}  // namespace tarvelo
