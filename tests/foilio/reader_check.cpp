#include "foilio/reader_check.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>


namespace tarvelo::test {

namespace {

std::string Bits(double v) { return std::to_string(std::bit_cast<std::uint64_t>(v)) + " "; }
std::string Range(int lo, int hi) { return std::to_string(lo) + ".." + std::to_string(hi); }

std::string Describe(const std::vector<double>& values) {
  std::string t = std::to_string(values.size()) + ":";
  for (double v : values) t += Bits(v);
  return t + "\n";
}

std::string CheckGoodRead(const State& s) {
  const int nd = s.nd;
  const std::string n = std::to_string(nd);
  if (s.ErFlag != kFalse || nd <= 0 || nd <= s.ncp)
    return "read with ErFlag set or " + n + " points";
  const Section& d = s.data;
  if (static_cast<int>(d.points()) != nd || d.thickness.size() != d.points() || d.camber.size() != d.points())
    return "data not sized by nd: " + n;
  for (int i = 1; i <= nd; ++i)  // each at most DBL_MAX / 100: the sum is finite if all three are
    if (!std::isfinite(s.xin(i) + s.yd(i, 1) + s.yd(i, 2))) return "not finite: " + n;
  if (s.fit) return "the fit of the earlier data is still held";
  for (int k = 1; k <= 2; ++k)
    if (s.ymax(k) != std::max(0.0, std::ranges::max(k == 1 ? d.thickness : d.camber)))
      return "ymax is not the largest value, or below 0";
  return s.xin(nd) == s.xv / 100 && d.camber.back() == s.cv / 100 ? "" : "xv..cv not the last record";
}

}  // namespace

std::string DataSet(const State& s) {
  return s.IDLine + "\n" + std::to_string(s.nd) + "\n" + Bits(s.xv) + Bits(s.t1v) + Bits(s.t2v) +
         Bits(s.cv) + "\n" + s.data.id_line + "\n" + Describe(s.data.x) + Describe(s.data.thickness) +
         Describe(s.data.camber) + Bits(s.ymax(1)) + Bits(s.ymax(2)) + (s.fit ? "fitted" : "no fit");
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
