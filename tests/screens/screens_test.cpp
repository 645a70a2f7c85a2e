// The display model, the screens on consistent and inconsistent states, the SVG writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "bspline/bspline.h"
#include "screens/screens.h"
#include "screens/svg.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Lines;
using Kind = Shape::Kind;
using Row = std::array<double, 5>;  // x, then fit and data of the thickness and of the camber

const std::string kRms = " R.M.S. error / chord = ";
const char* const kPrompts[] = {"   Click on <Next Screen> for fitting results for thickness ",
                                "   Click on <Next Screen> for fitting results for camber ",
                                "   Click on <Next Screen> for graphic display ",
                                "   Click on <Next Screen> for foil thickness and camber",
                                "   Click on <Next Screen> to view the screens again "};

State Results(const std::vector<Row>& rows, double rms1, double rms2) {
  State s;
  const int n = s.nd = static_cast<int>(rows.size());
  s.xin.allocate(1, n);
  for (Array2<double>* a : {&s.yd, &s.xd, &s.yfit}) a->allocate(1, n, 1, 2);
  s.dy.allocate(0, n, 1, 2);
  s.rms.allocate(1, 2);
  s.rms(1) = rms1, s.rms(2) = rms2;
  for (int i = 1; i <= n; ++i)
    for (int k = 1; k <= 2; ++k) {
      const Row& r = rows[static_cast<std::size_t>(i - 1)];
      s.xin(i) = s.xd(i, k) = r[0];
      s.yfit(i, k) = r[2 * k - 1];
      s.yd(i, k) = r[2 * k];
      s.dy(i, k) = static_cast<float>(r[2 * k - 1] - r[2 * k]);
    }
  return s;
}

// Five points, the thickness warns; four control points on engine knots, the
// second a hair left of the leading edge, as a fit may leave it.
State SmallSection() {
  State s = Results({{0, 0, 0, 0, 0}, {0.1, 0.81166, 0.812, 0.19995, 0.2},
                     {0.3, 1.00012, 1, 0.50002, 0.5}, {0.6, 0.6999, 0.7, -0.02001, -0.02},
                     {1, 0.05003, 0.05, 0.00004, 0}},
                    0.00012, 0.00004);
  s.InFile = "/data/naca0012.dat";
  s.IDLine = " NACA 0012  t/c=12% ";
  s.OutFile = "/data/naca0012.FOI";
  s.ncp = s.ko = 4;
  s.tk.allocate(1, 8);
  KNOTS(4, 4, s.tk);
  s.b.allocate(1, 4, 0, 4);
  s.xcp.allocate(1, 4);
  s.ycp.allocate(1, 4, 1, 2);
  const double xcp[] = {0, -0.0000001, 0.0000001, 1}, yt[] = {0, 0.6, 1.1, 0.05},
               yc[] = {0, 0.1, 0.4, -0.0123};
  for (int j = 1; j <= 4; ++j)
    s.xcp(j) = xcp[j - 1], s.ycp(j, 1) = yt[j - 1], s.ycp(j, 2) = yc[j - 1];
  return s;
}

// A text screen: the content, filler lines up to line 36, the prompt.
std::vector<std::string> Screen(std::vector<std::string> content, const std::string& prompt) {
  content.resize(36, " ");
  content.push_back(prompt);
  return content;
}

// One letter per run: k black, r red, b blue, upper case when bold; '-' for an empty line.
std::string Looks(const Page& p) {
  std::string out;
  for (const TextLine& l : p.lines) {
    if (l.runs.empty()) out += '-';
    for (const TextRun& r : l.runs) {
      const char c = r.color == kBlack ? 'k' : r.color == kRed ? 'r' : r.color == kBlue ? 'b' : '?';
      out += r.bold ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  return out;
}

std::vector<std::string> Elements(const std::string& svg, const std::string& start) {
  std::vector<std::string> out;
  std::istringstream in(svg);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(start, 0) == 0) out.push_back(line);
  return out;
}

// The error line, then that page as SVG: texts escaped, bytes that are not UTF-8 as
// character references, control characters as '?'; shapes off the number line left out,
// breaking the chain of lines as a new colour does; with no scale, the area's inner size.
TEST(DisplayTest, ErrorLineAsTextAndSvgAndClsKeepsColourBoldAndScale) {
  State s;
  s.ErMsg = "  a&b<c>\"d'e.dat - Input file not found !! ";
  const std::string text = "Latin-1 \xe9, UTF-8 \xc3\xa9, cut \xc3, control \x01.";
  RecordingDisplay d;
  d.Print({"old screen"});
  Print_ErMsg(s, d);
  d.Print({text});
  std::vector<std::string> want(30, " ");
  want.insert(want.end(), {s.ErMsg, text});
  EXPECT_EQ(Lines(d), want);
  EXPECT_EQ(Looks(d.page()), std::string(30, 'k') + "Rk");
  d.Line(10, 10);
  d.Line(INFINITY, 5);
  d.Line(20, 20);
  d.Line(30, 30);
  d.ForeColor(kRed);
  d.Line(40, 40);
  d.PSet(-INFINITY, 1);
  const std::string svg = PageToSvg(d.page());
  EXPECT_NE(svg.find(" viewBox=\"0 0 6345 7860\">"), std::string::npos);
  EXPECT_EQ(Elements(svg, "<text "),
            (std::vector<std::string>{
                "<text x=\"0\" y=\"6542.919\"><tspan fill=\"#ff0000\" font-weight=\"bold\">  a&amp;"
                "b&lt;c&gt;&quot;d&apos;e.dat - Input file not found !! </tspan></text>",
                "<text x=\"0\" y=\"6755.351\"><tspan fill=\"#000000\">Latin-1 &#xe9;, UTF-8 "
                "\xc3\xa9, cut &#xc3;, control ?.</tspan></text>"}));
  const auto line = [](std::string p, std::string c) {
    return "<polyline points=\"" + p + "\" fill=\"none\" stroke=\"#" + c +
           "\" stroke-width=\"15\"/>\n";
  };
  EXPECT_EQ(svg.substr(svg.find("<g>\n")), "<g>\n" + line("0,0 10,10", "000000") +
            line("20,20 30,30", "000000") + line("30,30 40,40", "ff0000") + "</g>\n</svg>\n");
  d.Scale(0, 0, 6345, 7860);
  d.FontBold(true);
  d.Cls();
  EXPECT_TRUE(d.page().lines.empty() && d.page().scale.set && d.foreColor() == kRed && d.bold());
}

// Whole screens and the camber by its decisive lines; the first page also shows a kept-open
// line ended by an empty Print as one line, and whole numbers as blank-digits-blank.
TEST(TextScreenTest, WholeScreensOfASmallSection) {
  State s = SmallSection();
  RecordingDisplay d;
  Print_FirstPage(s, d);
  EXPECT_EQ(Lines(d),
            Screen({" TARVELO - Foil Section B-Spline Fitting", " Version 2.01      2/24/13", "",
                    " Fitting of foil section thickness and camber data ",
                    "               with B-splines.", "", "File read     : /data/naca0012.dat",
                    "ID - line     :  NACA 0012  t/c=12% ", "Data points   :  5 ",
                    "Control points:  4 ", "File saved    : /data/naca0012.FOI"},
                   kPrompts[0]));

  List_Data1(s, d);
  EXPECT_EQ(Lines(d), Screen({"", " Fitting Result of Normalized Foil Thickness ", "",
                              "   nr       x        fit      data      diff",
                              "    1   0.00000   0.00000   0.00000   0.00000",
                              "    2   0.10000   0.81166   0.81200  -0.00034",
                              "    3   0.30000   1.00012   1.00000   0.00012",
                              "    4   0.60000   0.69990   0.70000  -0.00010",
                              "    5   1.00000   0.05003   0.05000   0.00003", " ",
                              kRms + "0.00012", " ", " Check the foil input data for fairness !! "},
                             kPrompts[1]));
  // Red from the warning through the filler lines.
  EXPECT_EQ(Looks(d.page()), "-k-" + std::string(9, 'k') + std::string(24, 'r') + "b");

  List_Data2(s, d);
  EXPECT_EQ(Lines(d)[1], " Fitting Result of Normalized Foil Camber ");
  EXPECT_EQ(Lines(d)[7], "    4   0.60000  -0.02001  -0.02000  -0.00001");

  List_Foil_Camber(s, d);  // x = -0.0000001 listed as 0 and set to 0, 0.0000001 kept
  EXPECT_EQ(Lines(d),
            Screen({"", "", "  Control Point Positions for Thickness (yt), Camber (yc)", "",
                    "   nr       x        yt        yc", "    1   0.00000   0.00000   0.00000",
                    "    2   0.00000   0.60000   0.10000", "    3   0.00000   1.10000   0.40000",
                    "    4   1.00000   0.05000  -0.01230"},
                   kPrompts[4]));
  EXPECT_TRUE(s.xcp(2) == 0 && s.xcp(3) == 0.0000001);
}

// The warning only above one ten-thousandth, after a blank line; the filler
// keeps the prompt on line 37 until the rows overflow.
TEST(TextScreenTest, WarningFillerAndPromptOfBothListings) {
  struct Case { int nd; double rms; const char* rmsText; std::size_t filler, promptLine; };
  const Case cases[] = {{5, 0.0001, "0.00010", 25, 37}, {5, 0.00011, "0.00011", 23, 37},
                        {20, 0, "0.00000", 10, 37},     {20, 0.001, "0.00100", 8, 37},
                        {30, 0, "0.00000", 0, 37},      {29, 0.001, "0.00100", 0, 38},
                        {31, 0, "0.00000", 0, 38}};
  for (const Case& c : cases) {
    for (int k = 1; k <= 2; ++k) {
      SCOPED_TRACE(testing::Message() << c.nd << " points, rms " << c.rmsText << ", curve " << k);
      State s = Results(std::vector<Row>(c.nd, Row{0.5, 0.5, 0.5, 0.5, 0.5}), c.rms, c.rms);
      RecordingDisplay d;
      (k == 1 ? List_Data1 : List_Data2)(s, d);
      std::vector<std::string> tail = {" ", kRms + c.rmsText};
      const std::string curve = k == 1 ? "foil" : "camber";
      if (c.rms > 0.0001)
        tail.insert(tail.end(), {" ", " Check the " + curve + " input data for fairness !! "});
      tail.resize(tail.size() + c.filler, " ");
      tail.push_back(kPrompts[k]);
      const auto lines = Lines(d);
      ASSERT_EQ(lines.size(), c.promptLine);
      EXPECT_EQ(std::vector<std::string>(lines.begin() + 4 + c.nd, lines.end()), tail);
      EXPECT_EQ(Looks(d.page())[lines.size() - 2], c.rms > 0.0001 ? 'r' : 'k');
    }
  }
}

// A run that read 8 points and stopped before its fit: xd, yfit, spline the earlier run's.
void StoppedRun(State& s) {
  const State r = Results(std::vector<Row>(8), 0, 0);
  s.nd = 8, s.ncp = 6, s.xin = r.xin, s.yd = r.yd, s.dy = r.dy, s.rms = r.rms;
}

// Six presses of Next Screen from the first page, then numbers that select no screen. Nothing
// is read outside an array: the rows that exist are listed, the prompt stays on line 37.
TEST(CycleTest, EveryScreenInTurnOnInconsistentStates) {
  struct Case { const char* name; void (*change)(State&); int cps = 4, rows = 5, points = 5; };
  const Case cases[] = {
      {"before any run", [](State& s) { s = State(); }, 0, 0, 0},
      {"stopped run", StoppedRun, 4, 5, 8},
      {"stopped run, 3 points", [](State& s) { StoppedRun(s), s.nd = 3; }, 4, 3, 3},
      {"ncp raised", [](State& s) { s.ncp = 25; }},
      {"8 control points",
       [](State& s) { s.ncp = 8, s.xcp.allocate(1, 8), s.ycp.allocate(1, 8, 1, 2); }, 8},
      {"ncp 5", [](State& s) { s.ncp = 5; }},
      {"ncp lowered", [](State& s) { s.ncp = 3; }, 3},
      {"ncp 0", [](State& s) { s.ncp = 0; }, 0},
      {"ncp 4.5", [](State& s) { s.ncp = 4.5; }},
      {"ncp huge", [](State& s) { s.ncp = 1e30; }},
      {"ncp infinite", [](State& s) { s.ncp = INFINITY; }},
      {"ncp -infinite", [](State& s) { s.ncp = -INFINITY; }, 0},
      {"tk longer", [](State& s) { s.tk.allocate(1, 9); }},
      {"last knots unequal", [](State& s) { s.tk(7) = 0.5; }},
      {"knot NaN", [](State& s) { s.tk(8) = NAN; }},
      {"xcp longer", [](State& s) { s.xcp.allocate(1, 5); }},
      {"ycp one column", [](State& s) { s.ycp.allocate(1, 4, 1, 1); }, 0},
      {"b longer", [](State& s) { s.b.allocate(1, 6, 0, 4); }},
  };
  // Listing rows begin with their number in a field of five.
  const auto isRow = [](const std::string& l) { return l.rfind("    ", 0) == 0 && l[4] != ' '; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    State s = SmallSection();
    c.change(s);
    RecordingDisplay d;
    Print_FirstPage(s, d);
    for (int press = 1; press <= 6; ++press) {
      Command3_Click(s, d);
      const int screen = press % 5;  // 1, 2 the fit listings, 3 the graphic, 4 control points
      const auto lines = Lines(d);
      ASSERT_EQ(lines.size(), 37u) << "press " << press;
      EXPECT_EQ(lines.back(), kPrompts[screen]) << "press " << press;
      EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isRow),
                screen == 4 ? c.cps : screen == 1 || screen == 2 ? c.rows : 0) << "press " << press;
      EXPECT_EQ(d.page().shapes.size(), screen == 3 ? 2u + 2 * c.points : 0u) << "press " << press;
      if (screen == 4) { EXPECT_EQ(std::count(lines.begin(), lines.end(), " "), 31 - c.cps); }
    }
    for (std::int16_t n : {std::int16_t{5}, std::int16_t{-1}}) {
      const auto before = Lines(d);
      s.nScreen = n;
      Command3_Click(s, d);
      EXPECT_TRUE(s.nScreen == n && Lines(d) == before) << "nScreen " << n;
    }
  }
}

bool Same(const Shape& a, const Shape& b) {
  return a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
         a.r == b.r && a.color == b.color;
}

TEST(GraphicTest, TextsShapesInDrawingOrderAndTheirSvg) {
  State s = SmallSection();
  s.xin(5) = 1e300, s.yd(5, 2) = -1e300;  // beyond the float range: infinite, to be clipped
  RecordingDisplay d;
  Draw_Graphic(s, d);
  const Page& p = d.page();
  EXPECT_EQ(p.texts(), Screen({" ", " Foil (blue) and camber (red)",
                               " Circles mark input points, lines show spline approximation "},
                              kPrompts[3]));
  EXPECT_EQ(d.foreColor(), kBlack);
  EXPECT_TRUE(p.scale.set && p.scale.x2 == 6345 && p.scale.y2 == 7860);
  // The chord, then per point a blue thickness circle and a red camber one.
  const Shape want[] = {
      {Kind::Point, 400, 6700}, {Kind::Line, 400, 6700, 5745, 6700},
      {Kind::Circle, 400, 6700, 0, 0, 50, kBlue}, {Kind::Circle, 400, 6700, 0, 0, 50, kRed},
      {Kind::Circle, 934.5, 2359.86f, 0, 0, 50, kBlue}, {Kind::Circle, 934.5, 5631, 0, 0, 50, kRed},
      {Kind::Circle, 2003.5, 1355, 0, 0, 50, kBlue}, {Kind::Circle, 2003.5, 4027.5, 0, 0, 50, kRed},
      {Kind::Circle, 3607, 2958.5, 0, 0, 50, kBlue}, {Kind::Circle, 3607, 6806.9f, 0, 0, 50, kRed},
      {Kind::Circle, INFINITY, 6432.75, 0, 0, 50, kBlue},
      {Kind::Circle, INFINITY, INFINITY, 0, 0, 50, kRed}};
  const auto& sh = p.shapes;
  ASSERT_EQ(sh.size(), 12u + 2 * 101);
  for (std::size_t i = 0; i < 12; ++i) EXPECT_TRUE(Same(sh[i], want[i])) << "shape " << i;
  // Each curve, blue then red: a point at the leading edge and 100 segments.
  for (std::size_t first : {12, 113}) {
    const auto [col, yEnd] = first == 12 ? std::pair{kBlue, 6432.75f} : std::pair{kRed, 6765.7435f};
    EXPECT_TRUE(Same(sh[first], {Kind::Point, 400, 6700, 0, 0, 0, col})) << first;
    for (std::size_t m = first + 1; m <= first + 100; ++m)
      EXPECT_TRUE(sh[m].kind == Kind::Line && sh[m].color == col) << m;
    EXPECT_TRUE(sh[first + 100].x2 == 5745 && sh[first + 100].y2 == yEnd);
  }

  const std::string svg = PageToSvg(p);
  const auto lines = Elements(svg, "<polyline ");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "<polyline points=\"400,6700 5745,6700\" fill=\"none\" stroke=\"#000000\" "
                      "stroke-width=\"15\"/>");
  for (std::size_t c = 1; c <= 2; ++c)  // blue then red, 100 segments each
    EXPECT_TRUE(std::count(lines[c].begin(), lines[c].end(), ',') == 101 &&
                lines[c].find(c == 1 ? "#0000ff" : "#ff0000") != std::string::npos);
  const auto circles = Elements(svg, "<circle ");
  ASSERT_EQ(circles.size(), 8u);  // point 5's two are left out
  EXPECT_EQ(circles[4], "<circle cx=\"2003.5\" cy=\"1355\" r=\"50\" fill=\"none\" "
                        "stroke=\"#0000ff\" stroke-width=\"15\"/>");
  // Rects: the background, the chord's and each curve's first point. Blank lines draw nothing.
  EXPECT_TRUE(Elements(svg, "<rect ").size() == 4 && Elements(svg, "<text ").size() == 3);
}

}  // namespace
}  // namespace tarvelo
