#include "foilio/reader_check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>


namespace tarvelo::test {

namespace {

std::string Bits(double v) { return std::to_string(std::bit_cast<std::uint64_t>(v)) + " "; }
std::string Range(int lo, int hi) { return std::to_string(lo) + ".." + std::to_string(hi); }

// The bounds of an array and, with `bits`, every element's bits.
template <class T>
std::string Describe(const Array1<T>& a, bool bits = true) {
  std::string t = a.exists() ? Range(a.lo(), a.hi()) + ":" : "none";
  for (int i = a.lo(); bits && a.exists() && i <= a.hi(); ++i) t += Bits(a(i));
  return t + "\n";
}
template <class T>
std::string Describe(const Array2<T>& a, bool bits = true) {
  auto t = a.exists() ? Range(a.lo1(), a.hi1()) + "," + Range(a.lo2(), a.hi2()) + ":" : "none";
  for (int j = a.lo2(); bits && a.exists() && j <= a.hi2(); ++j)
    for (int i = a.lo1(); i <= a.hi1(); ++i) t += Bits(a(i, j));
  return t + "\n";
}

std::string CheckGoodRead(const State& s) {
  const int nd = s.nd;
  const std::string n = std::to_string(nd);
  if (s.ErFlag != kFalse || nd <= 0 || nd <= s.ncp)
    return "read with ErFlag set or " + n + " points";
  const std::string got = Describe(s.xin, false) + Describe(s.yd, false) + Describe(s.dy, false) +
                          Describe(s.ymax, false) + Describe(s.rms, false);
  if (got != "1.." + n + ":\n1.." + n + ",1..2:\n0.." + n + ",1..2:\n1..2:\n1..2:\n")
    return "arrays not sized by nd:\n" + got;
  for (int i = 1; i <= nd; ++i)  // each at most DBL_MAX / 100: the sum is finite if all three are
    if (!std::isfinite(s.xin(i) + s.yd(i, 1) + s.yd(i, 2))) return "not finite: " + n;
  const float* dy = s.dy.column(1).data();  // both columns, row 0 included
  if (std::any_of(dy, dy + 2 * (nd + 1), [](float v) { return v != 0; }) ||
      s.rms(1) != 0 || s.rms(2) != 0)
    return "dy or rms not zero";
  for (int k = 1; k <= 2; ++k)
    if (s.ymax(k) != std::max(0.0, std::ranges::max(s.yd.column(k))))
      return "ymax is not the largest value, or below 0";
  return s.xin(nd) == s.xv / 100 && s.yd(nd, 2) == s.cv / 100 ? "" : "xv..cv not the last record";
}

}  // namespace

std::string DataSet(const State& s) {
  return s.IDLine + "\n" + std::to_string(s.nd) + "\n" + Bits(s.xv) + Bits(s.t1v) + Bits(s.t2v) +
         Bits(s.cv) + "\n" + Describe(s.xin) + Describe(s.yd) + Describe(s.ymax) + Describe(s.dy) +
         Describe(s.rms);
}

std::string CheckRead(const State& before, const State& after, ReadOutcome outcome) {
  if (outcome == ReadOutcome::Read) return CheckGoodRead(after);
  if (DataSet(before) != DataSet(after)) return "a failed read changed the data";
  const std::string& m = after.ErMsg;
  if (outcome == ReadOutcome::Failed)  // a message in the house form
    return after.ErFlag == kTrue && m.starts_with("  " + after.InFile + " - ") && m.ends_with(" !! ")
               ? "" : "message not in the house form, or ErFlag clear: " + m;
  return after.ErFlag == kFalse && m == before.ErMsg ? "" : "too few points, yet ErFlag or ErMsg set";
}

}  // namespace tarvelo::test
