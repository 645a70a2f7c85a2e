#include "foilio/reader_check.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "foilio/number_format.h"

namespace tarvelo::test {

namespace {

std::string Bits(double v) {
  std::uint64_t u = 0;
  std::memcpy(&u, &v, sizeof u);
  return std::to_string(u) + " ";
}

template <class T>
std::string Describe(const char* name, const Array1<T>& a) {
  std::string t = std::string(name) + (a.exists() ? " " : " none ");
  t += std::to_string(a.lo()) + ".." + std::to_string(a.hi()) + ":";
  for (int i = a.lo(); a.exists() && i <= a.hi(); ++i) t += Bits(static_cast<double>(a(i)));
  return t + "\n";
}

template <class T>
std::string Describe(const char* name, const Array2<T>& a) {
  std::string t = std::string(name) + (a.exists() ? " " : " none ");
  t += std::to_string(a.lo1()) + ".." + std::to_string(a.hi1()) + "," + std::to_string(a.lo2()) +
       ".." + std::to_string(a.hi2()) + ":";
  for (int i = a.lo1(); a.exists() && i <= a.hi1(); ++i)
    for (int j = a.lo2(); j <= a.hi2(); ++j) t += Bits(static_cast<double>(a(i, j)));
  return t + "\n";
}

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
bool EndsWith(const std::string& s, const std::string& p) {
  return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

std::string CheckGoodRead(const State& s, const std::vector<std::string>& lines) {
  if (s.ErFlag != kFalse) return "true returned with ErFlag set";
  if (!lines.empty()) return "true returned after printing";
  const int nd = s.nd;
  if (nd <= 0 || nd <= s.ncp) return "accepted " + std::to_string(nd) + " points";
  if (!s.xin.exists() || s.xin.lo() != 1 || s.xin.hi() != nd) return "xin is not 1..nd";
  if (!s.yd.exists() || s.yd.lo1() != 1 || s.yd.hi1() != nd || s.yd.lo2() != 1 || s.yd.hi2() != 2)
    return "yd is not (1..nd, 1..2)";
  if (!s.dy.exists() || s.dy.lo1() != 0 || s.dy.hi1() != nd || s.dy.lo2() != 1 || s.dy.hi2() != 2)
    return "dy is not (0..nd, 1..2)";
  if (!s.rms.exists() || s.rms.lo() != 1 || s.rms.hi() != 2) return "rms is not 1..2";
  if (!s.ymax.exists() || s.ymax.lo() != 1 || s.ymax.hi() != 2) return "ymax is not 1..2";
  if (s.rms(1) != 0 || s.rms(2) != 0) return "rms not zero";
  double top[3] = {0, 0, 0};
  for (int i = 1; i <= nd; ++i) {
    if (!std::isfinite(s.xin(i))) return "xin not finite at " + std::to_string(i);
    for (int k = 1; k <= 2; ++k) {
      if (!std::isfinite(s.yd(i, k))) return "yd not finite at " + std::to_string(i);
      if (s.yd(i, k) > top[k]) top[k] = s.yd(i, k);
    }
  }
  for (int i = 0; i <= nd; ++i)
    if (s.dy(i, 1) != 0 || s.dy(i, 2) != 0) return "dy not zero";
  if (s.ymax(1) != top[1] || s.ymax(2) != top[2]) return "ymax is not the largest value";
  if (s.xin(nd) != s.xv / 100 || s.yd(nd, 2) != s.cv / 100) return "xv..cv are not the last record";
  return "";
}

}  // namespace

std::string DataSet(const State& s) {
  std::string t = "IDLine " + std::to_string(s.IDLine.size()) + ":" + s.IDLine + "\n";
  t += "nd " + std::to_string(s.nd) + "\nrecord " + Bits(s.xv) + Bits(s.t1v) + Bits(s.t2v) +
       Bits(s.cv) + "\n";
  t += Describe("xin", s.xin) + Describe("yd", s.yd) + Describe("ymax", s.ymax) +
       Describe("dy", s.dy) + Describe("rms", s.rms);
  return t;
}

std::string CheckRead(const State& before, const State& after, bool ok,
                      const std::vector<std::string>& lines) {
  if (ok) return CheckGoodRead(after, lines);
  if (DataSet(before) != DataSet(after)) return "a failed read changed the data";
  if (after.ErFlag == kTrue) {
    if (!lines.empty()) return "a message and printed lines";
    if (!StartsWith(after.ErMsg, "  " + after.InFile + " - ") || !EndsWith(after.ErMsg, " !! "))
      return "message not in the house form: " + after.ErMsg;
    return "";
  }
  if (after.ErFlag != kFalse) return "ErFlag neither true nor false";
  if (after.ErMsg != before.ErMsg) return "ErMsg changed without a message";
  const std::vector<std::string> expected = {
      "*** Insufficient data. For" + NumberItem(after.ncp) + " control points,",
      "  you need at least" + NumberItem(after.ncp + 1) + " data points. ****"};
  if (lines != expected) return "false returned without a message or the two lines";
  return "";
}

}  // namespace tarvelo::test
