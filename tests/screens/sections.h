// Shared states for the screen tests: a small made-up but consistent result,
// sections of any length, and a spline built by the engine.
#pragma once

#include <string>
#include <vector>

#include "bspline/bspline.h"
#include "fit/state.h"
#include "screens/recording_display.h"

namespace tarvelo::test {

// Results of nd points: x, fit and data per curve; dy as the run stores it.
inline void SetResults(State& s, const std::vector<double>& x, const std::vector<double>& fit1,
                       const std::vector<double>& data1, const std::vector<double>& fit2,
                       const std::vector<double>& data2, double rms1, double rms2) {
  s.nd = static_cast<int>(x.size());
  s.xin.allocate(1, s.nd);
  s.yd.allocate(1, s.nd, 1, 2);
  s.xd.allocate(1, s.nd, 1, 2);
  s.yfit.allocate(1, s.nd, 1, 2);
  s.dy.allocate(0, s.nd, 1, 2);
  s.rms.allocate(1, 2);
  for (int i = 1; i <= s.nd; ++i) {
    const std::size_t n = static_cast<std::size_t>(i - 1);
    s.xin(i) = x[n];
    s.yd(i, 1) = data1[n];
    s.yd(i, 2) = data2[n];
    s.yfit(i, 1) = fit1[n];
    s.yfit(i, 2) = fit2[n];
    for (int k = 1; k <= 2; ++k) {
      s.xd(i, k) = x[n];
      s.dy(i, k) = static_cast<float>(s.yfit(i, k) - s.yd(i, k));
    }
  }
  s.rms(1) = rms1;
  s.rms(2) = rms2;
}

// The spline part of a run with ncp control points: knots by the engine,
// x(t) = t^2 for four control points, made-up ordinates.
inline void SetSpline(State& s, int ncp) {
  s.ncp = ncp;
  s.ko = 4;
  s.tk.allocate(1, ncp + 4);
  KNOTS(4, ncp, s.tk);
  s.xcp.allocate(1, ncp);
  s.ycp.allocate(1, ncp, 1, 2);
  s.b.allocate(1, ncp, 0, 4);
  for (int j = 3; j <= ncp; ++j) {
    s.xcp(j) = ncp == 4 ? (j == 3 ? 1.0 / 3 : 1.0) : (j - 2.0) / (ncp - 2.0);
    s.ycp(j, 1) = j == ncp ? 0.05 : 1.1;
    s.ycp(j, 2) = j == ncp ? 0.0 : 0.4;
  }
  s.ycp(2, 1) = 0.6;
  s.ycp(2, 2) = 0.1;
}

// Five points and four control points, as a run might leave them.
inline State SmallSection() {
  State s;
  s.InFile = "/data/naca0012.dat";
  s.IDLine = " NACA 0012  t/c=12% ";
  s.OutFile = "/data/naca0012.FOI";
  SetResults(s, {0, 0.1, 0.3, 0.6, 1}, {0, 0.81166, 1.00012, 0.6999, 0.05003},
             {0, 0.812, 1, 0.7, 0.05}, {0, 0.19995, 0.50002, -0.02001, 0.00004},
             {0, 0.2, 0.5, -0.02, 0}, 0.00012, 0.00004);
  SetSpline(s, 4);
  return s;
}

// nd points with a flat fit, for counting lines.
inline State Section(int nd, double rms1) {
  State s;
  std::vector<double> x(static_cast<std::size_t>(nd), 0.5);
  SetResults(s, x, x, x, x, x, rms1, 0);
  return s;
}

// Colour and weight of each line: k black, r red, b blue, one letter per run,
// upper case when bold; an empty line gives an empty string.
inline std::vector<std::string> Looks(const Page& p) {
  std::vector<std::string> out;
  for (const TextLine& l : p.lines) {
    std::string look;
    for (const TextRun& r : l.runs) {
      char c = r.color == kBlack ? 'k' : r.color == kRed ? 'r' : r.color == kBlue ? 'b' : '?';
      look += r.bold ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out.push_back(look);
  }
  return out;
}

// n copies of a line.
inline std::vector<std::string> Repeat(int n, const std::string& line) {
  return std::vector<std::string>(static_cast<std::size_t>(n < 0 ? 0 : n), line);
}

inline std::vector<std::string> Join(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace tarvelo::test
