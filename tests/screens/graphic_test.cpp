// The graphic, and every screen on a state that is not one consistent result.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "screens/screens.h"
#include "sections.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Join;
using test::Lines;
using test::Repeat;
using Kind = Shape::Kind;

void ExpectShape(const Shape& sh, Kind kind, float x, float y, Color c) {
  EXPECT_EQ(sh.kind, kind);
  EXPECT_EQ(sh.kind == Kind::Line ? sh.x2 : sh.x1, x);
  EXPECT_EQ(sh.kind == Kind::Line ? sh.y2 : sh.y1, y);
  EXPECT_EQ(sh.color, c);
}

TEST(GraphicTest, MappingOfChordPositionAndOrdinate) {
  State s;
  RecordingDisplay d;
  s.sw = 6345;
  s.sh = 7860;
  s.xorg = 400;
  s.yorg = 6700;
  picture_scale(s, d);
  EXPECT_EQ(s.scf, 5345);
  EXPECT_EQ(AbX(s, 0), 400.0);
  EXPECT_EQ(AbX(s, 1), 5745.0);
  EXPECT_EQ(AbY(s, 1), 1355.0);
  EXPECT_EQ(AbY(s, 0.1), 6165.5);
  EXPECT_EQ(static_cast<float>(AbY(s, -0.02)), static_cast<float>(6806.9));
}

TEST(GraphicTest, TextsChordInputPointsAndCurvesInDrawingOrder) {
  State s = test::SmallSection();
  s.yd(2, 2) = 0.1;
  RecordingDisplay d;
  Draw_Graphic(s, d);

  EXPECT_EQ(Lines(d), Join({{" ", " Foil (blue) and camber (red)",
                             " Circles mark input points, lines show spline approximation "},
                            Repeat(33, " "),
                            {"   Click on <Next Screen> for foil thickness and camber"}}));
  EXPECT_EQ(test::Looks(d.page()), Join({Repeat(36, "k"), {"b"}}));
  EXPECT_EQ(s.nScreen, 3);
  EXPECT_EQ(s.sw, 6345);
  EXPECT_EQ(s.sh, 7860);
  EXPECT_EQ(s.scf, 5345);
  EXPECT_EQ(s.np, 100);
  const UserScale& sc = d.page().scale;
  EXPECT_TRUE(sc.set);
  EXPECT_EQ(sc.x1, 0.0f);
  EXPECT_EQ(sc.y1, 0.0f);
  EXPECT_EQ(sc.x2, 6345.0f);
  EXPECT_EQ(sc.y2, 7860.0f);

  const auto& sh = d.page().shapes;
  ASSERT_EQ(sh.size(), 2u + 2 * 5 + 2 * 101);
  ExpectShape(sh[0], Kind::Point, 400, 6700, kBlack);
  ExpectShape(sh[1], Kind::Line, 5745, 6700, kBlack);
  EXPECT_EQ(sh[1].x1, 400.0f);
  EXPECT_EQ(sh[1].y1, 6700.0f);
  // Point 1 at the leading edge, 3 the largest thickness, 2 and 4 small
  // camber ordinates above and below the chord.
  ExpectShape(sh[2], Kind::Circle, 400, 6700, kBlue);
  ExpectShape(sh[3], Kind::Circle, 400, 6700, kRed);
  ExpectShape(sh[5], Kind::Circle, static_cast<float>(400 + 0.1 * 5345), 6165.5f, kRed);
  ExpectShape(sh[6], Kind::Circle, static_cast<float>(400 + 0.3 * 5345), 1355, kBlue);
  ExpectShape(sh[9], Kind::Circle, static_cast<float>(400 + 0.6 * 5345),
              static_cast<float>(6806.9), kRed);
  for (std::size_t i = 2; i < 12; ++i) EXPECT_EQ(sh[i].r, 50.0f);

  // Each curve: a point at the leading edge and 100 segments; for four
  // control points the ends are exact and t = 0.5 gives x = 0.25.
  for (std::size_t c = 0; c < 2; ++c) {
    const std::size_t first = 12 + 101 * c;
    const Color col = c == 0 ? kBlue : kRed;
    ExpectShape(sh[first], Kind::Point, 400, 6700, col);
    for (std::size_t m = 1; m <= 100; ++m) {
      EXPECT_EQ(sh[first + m].kind, Kind::Line);
      EXPECT_EQ(sh[first + m].color, col);
    }
    const double yEnd = c == 0 ? 0.05 : 0.0;
    ExpectShape(sh[first + 100], Kind::Line, 5745, static_cast<float>(6700 - yEnd * 5345), col);
    const double yMid = c == 0 ? 0.375 * 0.6 + 0.375 * 1.1 + 0.125 * 0.05 : 0.375 * 0.1 + 0.375 * 0.4;
    EXPECT_NEAR(sh[first + 50].x2, 400 + 0.25 * 5345, 1e-3);
    EXPECT_NEAR(sh[first + 50].y2, 6700 - yMid * 5345, 1e-3);
  }
  EXPECT_EQ(d.foreColor(), kBlack);
}

// A data point far off the chord: its coordinates are beyond the float range
// and reach the area as infinite, to be clipped.
TEST(GraphicTest, CoordinatesBeyondTheFloatRangeBecomeInfinite) {
  State s = test::SmallSection();
  s.xin(5) = 1e300;
  s.yd(5, 2) = -1e300;
  RecordingDisplay d;
  Draw_Graphic(s, d);
  const float inf = std::numeric_limits<float>::infinity();
  ExpectShape(d.page().shapes[10], Kind::Circle, inf, static_cast<float>(6700 - 0.05 * 5345), kBlue);
  ExpectShape(d.page().shapes[11], Kind::Circle, inf, inf, kRed);
}

// Screens shown on the state before any run: no array but xp and yp exists.
TEST(InconsistentStateTest, BeforeAnyRunEveryScreenShowsItsFrame) {
  State s;
  RecordingDisplay d;
  const std::string prompts[] = {
      "   Click on <Next Screen> for fitting results for camber ",
      "   Click on <Next Screen> for graphic display ",
      "   Click on <Next Screen> for foil thickness and camber",
      "   Click on <Next Screen> to view the screens again ",
      "   Click on <Next Screen> for fitting results for thickness "};
  for (const std::string& prompt : prompts) {
    Command3_Click(s, d);
    ASSERT_EQ(Lines(d).size(), 37u) << prompt;
    EXPECT_EQ(Lines(d).back(), prompt);
  }
  EXPECT_EQ(s.nScreen, 0);
  EXPECT_EQ(Lines(d)[8], "Data points   :  0 ");
  EXPECT_EQ(Lines(d)[9], "Control points:  0 ");

  List_Data1(s, d);
  EXPECT_EQ(Lines(d), Join({{"", " Fitting Result of Normalized Foil Thickness ", "",
                             "   nr       x        fit      data      diff", " ",
                             " R.M.S. error / chord = "},
                            Repeat(30, " "), {prompts[0]}}));
  Draw_Graphic(s, d);
  EXPECT_EQ(d.page().shapes.size(), 2u);  // the chord line only
  List_Foil_Camber(s, d);
  EXPECT_EQ(Lines(d)[5], " ");
}

// A second run read 8 points and stopped before its fit: xin, yd, dy and rms
// are new, xd, yfit and the spline are those of the first run.
TEST(InconsistentStateTest, StoppedRunShowsOnlyRowsEveryArrayHas) {
  State s = test::SmallSection();
  s.nd = 8;
  s.ncp = 6;
  s.xin.allocate(1, 8);
  s.yd.allocate(1, 8, 1, 2);
  s.dy.allocate(0, 8, 1, 2);
  s.rms.allocate(1, 2);
  RecordingDisplay d;

  List_Data2(s, d);
  auto lines = Lines(d);
  ASSERT_EQ(lines.size(), 37u);
  EXPECT_EQ(lines[8], "    5   1.00000   0.00004   0.00000   0.00000");
  EXPECT_EQ(lines[10], " R.M.S. error / chord = 0.00000");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 11, lines.end() - 1), Repeat(25, " "));

  s.nd = 3;  // fewer points than the old arrays hold
  List_Data1(s, d);
  EXPECT_EQ(Lines(d)[6], "    3   0.30000   1.00012   0.00000   0.00000");
  EXPECT_EQ(Lines(d)[7], " ");
  EXPECT_EQ(Lines(d).size(), 37u);

  s.nd = 8;
  Draw_Graphic(s, d);
  EXPECT_EQ(d.page().shapes.size(), 2u + 2 * 8);  // every input point, no curves

  List_Foil_Camber(s, d);
  EXPECT_EQ(Lines(d)[8], "    4   1.00000   0.05000   0.00000");
  EXPECT_EQ(Lines(d)[9], " ");
  EXPECT_EQ(Lines(d).size(), 37u);

  Print_FirstPage(s, d);
  EXPECT_EQ(Lines(d)[8], "Data points   :  8 ");
  EXPECT_EQ(Lines(d)[9], "Control points:  6 ");
}

TEST(InconsistentStateTest, CountFieldChangedNcpAfterTheRun) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double ncp;
    std::size_t rows;
    bool curves;
  };
  for (const Case& c : {Case{25, 4, false}, Case{5, 4, false}, Case{3, 3, false},
                        Case{0, 0, false}, Case{1e30, 4, false}, Case{inf, 4, false},
                        Case{-inf, 0, false}, Case{4, 4, true}}) {
    State s = test::SmallSection();
    s.ncp = c.ncp;
    RecordingDisplay d;
    List_Foil_Camber(s, d);
    auto lines = Lines(d);
    ASSERT_EQ(lines.size(), 37u) << c.ncp;
    // Header on line 5, the rows, then filler.
    EXPECT_EQ(lines[4 + c.rows].substr(0, 5), c.rows > 0 ? "    " + std::to_string(c.rows) : "   nr")
        << c.ncp;
    EXPECT_EQ(lines[5 + c.rows], " ") << c.ncp;

    Draw_Graphic(s, d);
    EXPECT_EQ(d.page().shapes.size(), 2u + 2 * 5 + (c.curves ? 2 * 101 : 0)) << c.ncp;
    EXPECT_EQ(Lines(d).size(), 37u);

    Print_FirstPage(s, d);
    EXPECT_EQ(Lines(d)[9].substr(0, 16), "Control points: ");
    EXPECT_EQ(Lines(d)[10], "File saved    : /data/naca0012.FOI");
  }
  State s = test::SmallSection();
  s.ncp = 25;
  RecordingDisplay d;
  Print_FirstPage(s, d);
  EXPECT_EQ(Lines(d)[9], "Control points:  25 ");
}

TEST(InconsistentStateTest, CurvesNeedEveryArrayOfTheSplineToMatchNcp) {
  using Change = void (*)(State&);
  const Change changes[] = {
      [](State& s) { s.ko = 3; },
      [](State& s) { s.tk.allocate(1, 9); },
      [](State& s) { s.tk(7) = 0.5; },  // last knots not equal
      [](State& s) { s.tk(8) = std::nan(""); },
      [](State& s) { s.xcp.allocate(1, 5); },
      [](State& s) { s.ycp.allocate(1, 4, 1, 1); },
      [](State& s) { s.b.allocate(1, 6, 0, 4); },
      [](State& s) { s.b.allocate(1, 4, 1, 4); },
      [](State& s) { s.ncp = 4.5; },
  };
  for (Change change : changes) {
    State s = test::SmallSection();
    change(s);
    RecordingDisplay d;
    Draw_Graphic(s, d);
    EXPECT_EQ(d.page().shapes.size(), 2u + 2 * 5);
  }
}

}  // namespace
}  // namespace tarvelo
