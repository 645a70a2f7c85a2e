// The output foil file: the identification line, ncp and ko, and one line of
// x, yt and yc per control point, every line ending in CR LF.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <string>

#include "foilio/file_errors.h"
#include "foilio/foil_files.h"
#include "foilio/number_format.h"
#include "foilio/safe_write.h"

namespace tarvelo {

namespace {

// The number of control point lines, when xcp and ycp hold that many points.
bool ControlPointLines(const State& s, int& n) {
  if (!(s.ncp == std::floor(s.ncp)) || s.ncp < 0 || s.ncp > 1e6) return false;
  n = static_cast<int>(s.ncp);
  if (n == 0) return true;
  return s.xcp.has(1) && s.xcp.has(n) && s.ycp.has(1, 1) && s.ycp.has(n, 2);
}

double WrittenX(double x) { return x <= 0 ? 0.0 : x; }

}  // namespace

std::string FoilFileText(const std::string& id, int ko, std::span<const double> x,
                         std::span<const double> yt, std::span<const double> yc) {
  std::string text = id + "\r\n";
  text += NumberItem(static_cast<double>(x.size())) + NumberItem(ko) + "\r\n";
  for (std::size_t j = 0; j < x.size(); ++j)
    text += FSt(3, 2, 5, WrittenX(x[j])) + FSt(3, 2, 5, yt[j]) + FSt(3, 2, 5, yc[j]) + "\r\n";
  return text;
}

void Write_FoilFile(State& s) {
  s.ErFlag = kFalse;
  const std::string& name = s.OutFile;
  const auto fail = [&s, &name](detail::OpenCause cause) {
    s.ErMsg = detail::OutputMessage(name, cause);
    s.ErFlag = kTrue;
  };

  if (detail::UnusableName(name)) return fail(detail::OpenCause::NameNotValid);
  // The section data must never be replaced by the fit made from them.
  if (!s.InFile.empty() && SameFile(s.InFile, name)) return fail(detail::OpenCause::SameFile);
  // Control points that are not there cannot be written; nothing else is.
  int n = 0;
  if (!ControlPointLines(s, n)) return fail(detail::OpenCause::Failed);

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
  if (out.err != 0) fail(detail::ClassifyOutputError(out.err));
}

}  // namespace tarvelo
