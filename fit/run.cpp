#include "fit/run.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "bspline/bspline.h"
#include "bspline/fitting.h"
#include "fit/field_number.h"
#include "fit/foil_files.h"
#include "fit/names.h"
#include "fit/run_messages.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

// The field's initial text: Start pressed before any file was chosen.
constexpr const char* kInputFieldPrompt = "Input-File";

void ShowError(State& s, Display& Picture1) {
  Print_ErMsg(s, Picture1);
  s.ErFlag = kFalse;
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

void ShowStop(State& s, Display& Picture1, FitStatus status) {
  s.ErMsg = StopMessage(status);
  Print_ErMsg(s, Picture1);
}

// The chordwise spline x(t) = t^2, on tables allocated as the run always has.
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
  if (!SolveXSpline(s.ko, nv, s.tk, s.b, s.h, s.lsing, s.xcp)) return false;
  for (int j = 1; j <= nv; ++j) s.c1(j, 0) = s.xcp(j);
  return true;
}

// The parameter of every data point, the cubic basis there
// and the right-hand sides of both curves.
FitStatus PlaceDataPoints(State& s, int nv) {
  s.n2 = nv - 2;
  s.tk.allocate(1, nv + s.ko);
  s.yr.allocate(1, s.nd, 1, 2);
  s.xd.allocate(1, s.nd, 1, 2);
  s.yfit.allocate(1, s.nd, 1, 2);
  s.b.allocate(1, nv, 0, 4);
  KNOTS(s.ko, nv, s.tk);
  BSCOEFS(s.ko, nv, s.tk, 1, s.c1);
  PlacePoints(s.ko, nv, s.tk, s.c1, s.xin.span(), s.f, s.b, s.bd);
  for (int k = 1; k <= 2; ++k) {
    const FitStatus status = RightHandSide({s.yd.column(k), 0}, s.bd, s.yr.column(k));
    if (status != FitStatus::Done) return status;
  }
  return FitStatus::Done;
}

// Least squares for curve k, the fit at the data points and its
// R.M.S. error per chord. yd is normalised already.
FitStatus FitCurveK(State& s, int nv, int k) {
  CurveOutput out{s.ycp.column(k), s.xd.column(k), s.yfit.column(k), s.dy.column(k).subspan(1)};
  const FitStatus status =
      FitCurve(nv, s.bd, s.yr.column(k), {s.yd.column(k), 0}, s.ymax(k), s.xcp, s.h, s.lsing, out);
  if (status == FitStatus::Done) {
    s.sq = out.sq;
    s.rms(k) = out.rms;
  }
  return status;
}

}  // namespace

bool FitData(State& s, Display& Picture1) {
  const int nv = static_cast<int>(s.ncp);
  for (int i = 1; i <= s.nd; ++i)
    for (int k = 1; k <= 2; ++k)
      if (s.ymax(k) > 0) s.yd(i, k) = s.yd(i, k) / s.ymax(k);

  if (!FitXSpline(s, nv)) {
    ShowStop(s, Picture1, FitStatus::Singular);
    return false;
  }
  FitStatus status = PlaceDataPoints(s, nv);
  for (int k = 1; k <= 2 && status == FitStatus::Done; ++k) status = FitCurveK(s, nv, k);
  if (status != FitStatus::Done) {
    ShowStop(s, Picture1, status);
    return false;
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
    s.ErMsg = kCountMessage;
    Print_ErMsg(s, Picture1);
    return;
  }
  const ReadOutcome read = Read_FoilData(s);
  s.ReadRefused = read != ReadOutcome::Read;
  if (read == ReadOutcome::TooFew) {
    // Two plain lines, no error line: the run ends here, the window stays.
    for (const std::string& line : InsufficientData(s.ncp)) Picture1.Print({line});
    return;
  }
  if (read == ReadOutcome::Failed) {
    ShowError(s, Picture1);
    return;
  }
  // From here the results held are this run's, not yet written anywhere.
  s.SavedFile.clear();

  try {
    if (!FitData(s, Picture1)) return;
  } catch (const std::bad_alloc&) {
    s.ErMsg = WindowText(NoMemoryError(s.InFile, s.nd));
    Print_ErMsg(s, Picture1);
    return;
  }

  Write_FoilFile(s);
  if (s.ErFlag != kFalse) {
    ShowError(s, Picture1);
    return;
  }
  s.SavedFile = s.OutFile;
  Print_FirstPage(s, Picture1);
}

}  // namespace tarvelo
