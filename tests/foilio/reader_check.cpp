#include "foilio/reader_check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "foilio/number_format.h"

namespace tarvelo::test {

namespace {

std::string Bits(double v) { return std::to_string(std::bit_cast<std::uint64_t>(v)) + " "; }
std::string Range(int lo, int hi) { return std::to_string(lo) + ".." + std::to_string(hi); }

// The bounds of an Array1 or Array2 and, with `bits`, every element's bits.
template <class A>
std::string Describe(const A& a, bool bits = true) {
  if (!a.exists()) return "none\n";
  std::string t;
  if constexpr (requires { a.lo1(); }) {
    t = Range(a.lo1(), a.hi1()) + "," + Range(a.lo2(), a.hi2()) + ":";
    for (int i = a.lo1(); bits && i <= a.hi1(); ++i)
      for (int j = a.lo2(); j <= a.hi2(); ++j) t += Bits(static_cast<double>(a(i, j)));
  } else {
    t = Range(a.lo(), a.hi()) + ":";
    for (int i = a.lo(); bits && i <= a.hi(); ++i) t += Bits(static_cast<double>(a(i)));
  }
  return t + "\n";
}

std::string CheckGoodRead(const State& s, const std::vector<std::string>& lines) {
  if (s.ErFlag != kFalse || !lines.empty()) return "true returned with ErFlag set or lines";
  const int nd = s.nd;
  const std::string n = std::to_string(nd);
  if (nd <= 0 || nd <= s.ncp) return "accepted " + n + " points";
  const std::string got = Describe(s.xin, false) + Describe(s.yd, false) + Describe(s.dy, false) +
                          Describe(s.ymax, false) + Describe(s.rms, false);
  if (got != "1.." + n + ":\n1.." + n + ",1..2:\n0.." + n + ",1..2:\n1..2:\n1..2:\n")
    return "arrays not sized by nd:\n" + got;
  double top[3] = {0, 0, 0};
  for (int i = 1; i <= nd; ++i) {
    // Each is at most DBL_MAX / 100, so the sum is finite when all three are.
    if (!std::isfinite(s.xin(i) + s.yd(i, 1) + s.yd(i, 2))) return "not finite: " + n;
    for (int k = 1; k <= 2; ++k) top[k] = std::max(top[k], s.yd(i, k));
  }
  for (int i = 0; i <= nd; ++i)
    if (s.dy(i, 1) != 0 || s.dy(i, 2) != 0) return "dy not zero";
  if (s.rms(1) != 0 || s.rms(2) != 0) return "rms not zero";
  if (s.ymax(1) != top[1] || s.ymax(2) != top[2]) return "ymax is not the largest value";
  if (s.xin(nd) != s.xv / 100 || s.yd(nd, 2) != s.cv / 100) return "xv..cv are not the last record";
  return "";
}

}  // namespace

std::string DataSet(const State& s) {
  return "IDLine " + std::to_string(s.IDLine.size()) + ":" + s.IDLine + "\nnd " +
         std::to_string(s.nd) + "\nrecord " + Bits(s.xv) + Bits(s.t1v) + Bits(s.t2v) + Bits(s.cv) +
         "\n" + Describe(s.xin) + Describe(s.yd) + Describe(s.ymax) + Describe(s.dy) +
         Describe(s.rms);
}

std::string CheckRead(const State& before, const State& after, bool ok,
                      const std::vector<std::string>& lines) {
  if (ok) return CheckGoodRead(after, lines);
  if (DataSet(before) != DataSet(after)) return "a failed read changed the data";
  const std::string& m = after.ErMsg;
  if (after.ErFlag == kTrue) {
    if (m.rfind("  " + after.InFile + " - ", 0) != 0 || m.substr(m.size() - 4) != " !! ")
      return "message not in the house form: " + m;
    return lines.empty() ? "" : "a message and printed lines";
  }
  if (after.ErFlag != kFalse) return "ErFlag neither true nor false";
  if (m != before.ErMsg) return "ErMsg changed without a message";
  const std::vector<std::string> expected = {
      "*** Insufficient data. For" + NumberItem(after.ncp) + " control points,",
      "  you need at least" + NumberItem(after.ncp + 1) + " data points. ****"};
  return lines == expected ? "" : "false returned without a message or the two lines";
}

}  // namespace tarvelo::test
