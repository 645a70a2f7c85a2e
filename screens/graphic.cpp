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
// only when the fit is one of ncp control points of order ko: the count field
// may have set ncp to another value since the run.
bool SplineMatchesNcp(const State& s) {
  return s.fit && s.ko == 4 && s.fit->order == s.ko && s.ncp == s.fit->control_points &&
         s.fit->knots.size() == static_cast<std::size_t>(s.fit->control_points + s.ko) &&
         s.xp.has(0, 1) && s.xp.has(s.np, 2) && s.yp.has(0, 1) && s.yp.has(s.np, 2);
}

}  // namespace

void picture_scale(State& s, Display& Picture1) {
  s.scf = s.sw - 1000;
  Picture1.Scale(0, 0, static_cast<float>(s.sw), static_cast<float>(s.sh));
}

double AbX(const State& s, double XX) { return s.xorg + XX * s.scf; }
double AbY(const State& s, double XX) { return s.yorg - XX * s.scf; }

// The texts, the chord line and every input point held (for i up to nd) are
// always drawn; the two curves only
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

  for (int i = 1; i <= s.nd && s.HasPoint(i); ++i) {
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
