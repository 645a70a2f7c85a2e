#include "fit/foil_files.h"

#include <cmath>
#include <new>
#include <string>
#include <tuple>

#include "foilio/file_errors.h"
#include "foilio/foil_file.h"
#include "foilio/safe_write.h"
#include "foilio/section_file.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

// The number of control point lines, when xcp and ycp hold that many points.
bool ControlPointLines(const State& s, int& n) {
  if (!(s.ncp == std::floor(s.ncp)) || s.ncp < 0 || s.ncp > 1e6) return false;
  n = static_cast<int>(s.ncp);
  if (n == 0) return true;
  return s.xcp.has(1) && s.xcp.has(n) && s.ycp.has(1, 1) && s.ycp.has(n, 2);
}

}  // namespace

ReadOutcome Read_FoilData(State& s) {
  s.ErFlag = kFalse;
  // Read aside: the shared data change only when the whole file is good.
  SectionData data;
  ReadFailure failure;
  const ReadOutcome outcome = ReadSectionFile(s.InFile, s.ncp, data, failure);
  if (outcome == ReadOutcome::Failed) {
    s.ErMsg = WindowText(*failure);
    s.ErFlag = kTrue;
  }
  if (outcome != ReadOutcome::Read) return outcome;

  // The new arrays are made aside, so that running out of memory leaves the
  // data of the last good read as they were.
  const int nd = data.nd;
  Array1<double> xin, ymax, rms;
  Array2<double> yd;
  Array2<float> dy;
  try {
    xin.allocate(1, nd);
    yd.allocate(1, nd, 1, 2);
    ymax.allocate(1, 2);
    rms.allocate(1, 2);
    dy.allocate(0, nd, 1, 2);
  } catch (const std::bad_alloc&) {
    s.ErMsg = WindowText(NoMemoryError(s.InFile, nd));
    s.ErFlag = kTrue;
    return ReadOutcome::Failed;
  }
  for (int i = 1; i <= nd; ++i) {
    const auto r = static_cast<std::size_t>(i - 1);
    xin(i) = data.x[r];
    yd(i, 1) = data.thickness[r];
    yd(i, 2) = data.camber[r];
    if (yd(i, 1) > ymax(1)) ymax(1) = yd(i, 1);
    if (yd(i, 2) > ymax(2)) ymax(2) = yd(i, 2);
  }
  s.IDLine = std::move(data.id);
  s.ReadFile = s.InFile;
  s.nd = nd;
  std::tie(s.xv, s.t1v, s.t2v, s.cv) = std::tuple_cat(data.last);
  s.xin = std::move(xin);
  s.yd = std::move(yd);
  s.ymax = std::move(ymax);
  s.rms = std::move(rms);
  s.dy = std::move(dy);
  return ReadOutcome::Read;
}

void Write_FoilFile(State& s) {
  s.ErFlag = kFalse;
  const std::string& name = s.OutFile;
  const auto fail = [&s](const Error& error) {
    s.ErMsg = WindowText(error);
    s.ErFlag = kTrue;
  };

  if (detail::UnusableName(name)) return fail(detail::OutputError(name, detail::OpenCause::NameNotValid));
  // The section data must never be replaced by the fit made from them.
  if (!s.InFile.empty() && IsSameFile(s.InFile, name))
    return fail(detail::OutputError(name, detail::OpenCause::SameFile));
  // Control points that are not there cannot be written; nothing else is.
  int n = 0;
  if (!ControlPointLines(s, n))
    return fail(Error(ErrorKind::NotWritten, name, detail::CouldNotWrite("control points are missing")));

  const auto rows = static_cast<std::size_t>(n);
  const std::string text =
      n == 0 ? FoilFileText(s.IDLine, s.ko, {}, {}, {})
             : FoilFileText(s.IDLine, s.ko, s.xcp.span().first(rows),
                            s.ycp.column(1).first(rows), s.ycp.column(2).first(rows));
  const WriteOutcome out = WriteFileSafely(name, text);
  // Once the file is created, x of zero or less is 0 in the state too, as the
  // screens shown after the file expect.
  if (out.created) {
    for (int j = 1; j <= n; ++j) s.xcp(j) = WrittenX(s.xcp(j));
  }
  if (out.err != 0) fail(WriteError(name, out));
}

}  // namespace tarvelo
