#include <cfloat>
#include <cmath>
#include <limits>

#include "screens/screens.h"

namespace tarvelo {

namespace {

constexpr float kCircleRadius = 50;  // drawing units, about 50 twips

// Drawing coordinates go to the display area in single precision. A double
// beyond the float range (a data point far off the chord) would not convert
// with defined behaviour; it becomes an infinite coordinate, which the area
// clips like any point outside it.
float Coord(double v) {
  if (v > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (v < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

// EvalPoints evaluates the spline with the shared ncp, so the curves are drawn
// only when everything it reads belongs to one spline of ncp control points:
// the count field or a run that stopped part-way may have left ncp, the knots,
// the control points and the basis table of different sizes. The last ko
// knots must be equal, as in every clamped knot vector, because only then
// does COXD stay inside rows 1..ncp of b.
bool SplineMatchesNcp(const State& s) {
  if (!(s.ncp >= 4 && s.ncp <= 20 && s.ncp == std::floor(s.ncp)) || s.ko != 4) return false;
  const int nv = static_cast<int>(s.ncp);
  const bool sized = s.tk.exists() && s.tk.lo() == 1 && s.tk.hi() == nv + s.ko &&
                     s.xcp.exists() && s.xcp.lo() == 1 && s.xcp.hi() == nv &&
                     s.ycp.exists() && s.ycp.lo1() == 1 && s.ycp.hi1() == nv &&
                     s.ycp.lo2() == 1 && s.ycp.hi2() == 2 && s.b.exists() && s.b.lo1() == 1 &&
                     s.b.hi1() == nv && s.b.lo2() == 0 && s.b.hi2() == s.ko &&
                     s.xp.has(0, 1) && s.xp.has(s.np, 2) && s.yp.has(0, 1) && s.yp.has(s.np, 2);
  if (!sized) return false;
  for (int i = nv + 2; i <= nv + s.ko; ++i)
    if (!(s.tk(i) == s.tk(nv + 1))) return false;
  return true;
}

}  // namespace

void picture_scale(State& s, Display& Picture1) {
  s.scf = s.sw - 1000;
  Picture1.Scale(0, 0, static_cast<float>(s.sw), static_cast<float>(s.sh));
}

double AbX(const State& s, double XX) { return s.xorg + XX * s.scf; }
double AbY(const State& s, double XX) { return s.yorg - XX * s.scf; }

// The texts, the chord line and every input point that exists (xin(i),
// yd(i, 1) and yd(i, 2) for i up to nd) are always drawn; the two curves only
// when the spline matches ncp (SplineMatchesNcp), else they are left out.
void Draw_Graphic(State& s, Display& Picture1) {
  Picture1.Cls();
  Print_ResultsLine(s, Picture1, " ");
  Picture1.Print({" Foil (blue) and camber (red)"});
  Picture1.Print({" Circles mark input points, lines show spline approximation "});
  for (int j = 4; j <= kScreenLines; ++j) Picture1.Print({" "});
  s.ScMsg = "   Click on <Next Screen> for foil thickness and camber";
  Print_ScMsg(s, Picture1);
  s.nScreen = 3;

  s.sh = 7860;
  s.sw = 6345;
  picture_scale(s, Picture1);
  s.xorg = 400;
  s.yorg = 6700;
  Picture1.DrawStyle(0);

  Picture1.PSet(Coord(AbX(s, 0)), Coord(AbY(s, 0)));
  Picture1.Line(Coord(AbX(s, 1)), Coord(AbY(s, 0)));

  for (int i = 1; i <= s.nd && s.xin.has(i) && s.yd.has(i, 1) && s.yd.has(i, 2); ++i) {
    Picture1.ForeColor(kBlue);
    Picture1.Circle(Coord(AbX(s, s.xin(i))), Coord(AbY(s, s.yd(i, 1))), kCircleRadius);
    Picture1.ForeColor(kRed);
    Picture1.Circle(Coord(AbX(s, s.xin(i))), Coord(AbY(s, s.yd(i, 2))), kCircleRadius);
  }

  s.np = 100;
  if (SplineMatchesNcp(s)) {
    EvalPoints(s);
    for (int k = 1; k <= 2; ++k) {
      Picture1.ForeColor(k == 1 ? kBlue : kRed);
      for (int m = 0; m <= s.np; ++m) {
        const float x = Coord(AbX(s, s.xp(m, k)));
        const float y = Coord(AbY(s, s.yp(m, k)));
        if (m == 0)
          Picture1.PSet(x, y);
        else
          Picture1.Line(x, y);
      }
    }
  }
  Picture1.ForeColor(kBlack);
}

}  // namespace tarvelo
