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
using Row = std::array<double, 5>;  // x, then fit and data of the thickness and of the camber
const std::string kRms = " R.M.S. error / chord = ";

const char* const kPrompts[] = {"   Click on <Next Screen> for fitting results for thickness ",
                                "   Click on <Next Screen> for fitting results for camber ",
                                "   Click on <Next Screen> for graphic display ",
                                "   Click on <Next Screen> for foil thickness and camber",
                                "   Click on <Next Screen> to view the screens again "};

// Data and fitted values as given: largest values of 1 leave the data as they are.
State Results(const std::vector<Row>& rows, double rms1, double rms2) {
  State s;
  s.nd = static_cast<int>(rows.size());
  s.largest = {1, 1};
  Fit fit;
  fit.thickness.rms = rms1, fit.camber.rms = rms2;
  for (const Row& r : rows) {
    s.data.x.push_back(r[0]), s.data.thickness.push_back(r[2]), s.data.camber.push_back(r[4]);
    fit.x.push_back(r[0]);
    fit.thickness.fitted.push_back(r[1]), fit.camber.fitted.push_back(r[3]);
    fit.thickness.difference.push_back(static_cast<float>(r[1] - r[2]));
    fit.camber.difference.push_back(static_cast<float>(r[3] - r[4]));
  }
  s.fit = fit;
  return s;
}

// Five points, the thickness warns; control point 2 a hair left of the leading edge.
State SmallSection() {
  State s = Results({{0, 0, 0, 0, 0}, {0.1, 0.81166, 0.812, 0.19995, 0.2},
                     {0.3, 1.00012, 1, 0.50002, 0.5}, {0.6, 0.6999, 0.7, -0.02001, -0.02},
                     {1, 0.05003, 0.05, 0.00004, 0}}, 0.00012, 0.00004);
  s.InFile = "/data/naca0012.dat", s.OutFile = s.SavedFile = "/data/naca0012.FOI";
  s.IDLine = " NACA 0012  t/c=12% ", s.ncp = s.ko = 4;
  Fit& fit = *s.fit;
  fit.control_points = 4;
  Array1<double> tk;
  tk.allocate(1, 8);
  KNOTS(4, 4, tk);
  fit.knots.assign(tk.span().begin(), tk.span().end());
  const double cp[][3] = {{0, 0, 0}, {-0.0000001, 0.6, 0.1}, {0.0000001, 1.1, 0.4},
                          {1, 0.05, -0.0123}};  // x, yt, yc
  for (const auto& c : cp)
    fit.control_x.push_back(c[0]), fit.thickness.control.push_back(c[1]), fit.camber.control.push_back(c[2]);
  return s;
}

// A text screen: the content, filler lines up to line 36, the prompt.
std::vector<std::string> Screen(std::vector<std::string> content, const std::string& prompt) {
  content.resize(36, " ");
  content.push_back(prompt);
  return content;
}

char Letter(Color c) { return c == kBlack ? 'k' : c == kRed ? 'r' : c == kBlue ? 'b' : '?'; }

// One letter per run: k black, r red, b blue, upper case when bold; '-' for an empty line.
std::string Looks(const Page& p) {
  std::string out;
  for (std::size_t n = 0; n < p.size(); ++n) {
    const TextLine l = p.line(n);
    if (l.runs.empty()) out += '-';
    for (const TextRun& r : l.runs) out += static_cast<char>(Letter(r.color) - (r.bold ? 32 : 0));
  }
  return out;
}

// Kind, colour and numbers of a shape: "Cb 934.5 2359.86 50" is a blue circle of radius 50.
std::string Str(const Shape& s) {
  std::ostringstream o;
  o << "PLC"[static_cast<int>(s.kind)] << Letter(s.color) << ' ' << s.x1 << ' ' << s.y1;
  if (s.kind == Shape::Kind::Line) o << ' ' << s.x2 << ' ' << s.y2;
  if (s.kind == Shape::Kind::Circle) o << ' ' << s.r;
  return o.str();
}

std::string Polyline(const std::string& points, const std::string& colour) {
  return "<polyline points=\"" + points + "\" fill=\"none\" stroke=\"#" + colour +
         "\" stroke-width=\"15\"/>";
}

std::vector<std::string> Elements(const std::string& svg, const std::string& start) {
  std::vector<std::string> out;
  std::istringstream in(svg);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(start, 0) == 0) out.push_back(line);
  return out;
}

// The error line; as SVG non-UTF-8 bytes become references, non-finite shapes break the lines.
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
  d.Line(10, 10), d.Line(INFINITY, 5), d.Line(20, 20), d.Line(30, 30);
  d.ForeColor(kRed), d.Line(40, 40), d.PSet(-INFINITY, 1);
  const std::string svg = PageToSvg(d.page());
  EXPECT_NE(svg.find(" viewBox=\"0 0 6345 7860\">"), std::string::npos);
  EXPECT_EQ(Elements(svg, "<text "),
            (std::vector<std::string>{
                "<text x=\"0\" y=\"6542.919\"><tspan fill=\"#ff0000\" font-weight=\"bold\">  a&amp;"
                "b&lt;c&gt;&quot;d&apos;e.dat - Input file not found !! </tspan></text>",
                "<text x=\"0\" y=\"6755.351\"><tspan fill=\"#000000\">Latin-1 &#xe9;, UTF-8 "
                "\xc3\xa9, cut &#xc3;, control ?.</tspan></text>"}));
  EXPECT_EQ(svg.substr(svg.find("<g>\n")), "<g>\n" + Polyline("0,0 10,10", "000000") + "\n" +
            Polyline("20,20 30,30", "000000") + "\n" + Polyline("30,30 40,40", "ff0000") +
            "\n</g>\n</svg>\n");
  d.Scale(0, 0, 6345, 7860), d.FontBold(true), d.Cls();
  EXPECT_TRUE(d.page().lines.empty() && d.page().scale.set && d.foreColor() == kRed && d.bold());
}

// Each screen in cycle order; the first page ends a kept-open line by an empty Print.
TEST(ScreensTest, EveryScreenOfASmallSectionInCycleOrder) {
  State s = SmallSection();
  RecordingDisplay d;
  Print_FirstPage(s, d);
  EXPECT_EQ(Lines(d),
            Screen({" TARVELO - Foil Section B-Spline Fitting", " Version 2.01      2/24/13", "",
                    " Fitting of foil section thickness and camber data ",
                    "               with B-splines.", "", "File read     : /data/naca0012.dat",
                    "ID - line     :  NACA 0012  t/c=12% ", "Data points   :  5 ",
                    "Control points:  4 ", "File saved    : /data/naca0012.FOI"}, kPrompts[0]));

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
  EXPECT_EQ(Looks(d.page()), "-k-" + std::string(9, 'k') + std::string(24, 'r') + "b");  // red on

  List_Data2(s, d);
  EXPECT_EQ(Lines(d)[1], " Fitting Result of Normalized Foil Camber ");
  EXPECT_EQ(Lines(d)[7], "    4   0.60000  -0.02001  -0.02000  -0.00001");

  s.xin(5) = 1e300, s.data.camber[4] = -1e300;  // beyond the float range: infinite, to be clipped
  Draw_Graphic(s, d);
  const Page& p = d.page();
  EXPECT_EQ(p.texts(), Screen({" ", " Foil (blue) and camber (red)",
                               " Circles mark input points, lines show spline approximation "},
                              kPrompts[3]));
  EXPECT_TRUE(d.foreColor() == kBlack && p.scale.set && p.scale.x2 == 6345 && p.scale.y2 == 7860);
  const auto& sh = p.shapes;
  ASSERT_EQ(sh.size(), 12u + 2 * 101);
  std::vector<std::string> head;  // chord, per point a blue and a red circle, the curves' starts
  std::string order;
  for (std::size_t i = 0; i < sh.size(); ++i)
    if (i <= 12 || i == 113) head.push_back(Str(sh[i]));
    else order += sh[i].kind == Shape::Kind::Line ? Letter(sh[i].color) : '?';
  EXPECT_EQ(head, (std::vector<std::string>{
      "Pk 400 6700", "Lk 400 6700 5745 6700", "Cb 400 6700 50", "Cr 400 6700 50",
      "Cb 934.5 2359.86 50", "Cr 934.5 5631 50", "Cb 2003.5 1355 50", "Cr 2003.5 4027.5 50",
      "Cb 3607 2958.5 50", "Cr 3607 6806.9 50", "Cb inf 6432.75 50", "Cr inf inf 50",
      "Pb 400 6700", "Pr 400 6700"}));
  EXPECT_EQ(order, std::string(100, 'b') + std::string(100, 'r'));
  EXPECT_TRUE(sh[9].y1 == 6806.9f && sh[112].x2 == 5745 && sh[112].y2 == 6432.75f &&
              sh[213].y2 == 6765.7435f);

  const std::string svg = PageToSvg(p);
  const auto lines = Elements(svg, "<polyline ");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], Polyline("400,6700 5745,6700", "000000"));
  for (std::size_t c = 1; c <= 2; ++c)  // blue then red, 100 segments each
    EXPECT_TRUE(std::count(lines[c].begin(), lines[c].end(), ',') == 101 &&
                lines[c].find(c == 1 ? "#0000ff" : "#ff0000") != std::string::npos);
  const auto circles = Elements(svg, "<circle ");
  ASSERT_EQ(circles.size(), 8u);  // point 5's two are left out
  EXPECT_EQ(circles[4], "<circle cx=\"2003.5\" cy=\"1355\" r=\"50\" fill=\"none\" "
                        "stroke=\"#0000ff\" stroke-width=\"15\"/>");
  // Rects: the background, the chord's and each curve's first point; blank lines draw no text.
  EXPECT_TRUE(Elements(svg, "<rect ").size() == 4 && Elements(svg, "<text ").size() == 3);
  List_Foil_Camber(s, d);  // x = -0.0000001 listed as 0 and set to 0, 0.0000001 kept
  EXPECT_EQ(Lines(d),
            Screen({"", "", "  Control Point Positions for Thickness (yt), Camber (yc)", "",
                    "   nr       x        yt        yc", "    1   0.00000   0.00000   0.00000",
                    "    2   0.00000   0.60000   0.10000", "    3   0.00000   1.10000   0.40000",
                    "    4   1.00000   0.05000  -0.01230"}, kPrompts[4]));
  EXPECT_TRUE(s.xcp(2) == 0 && s.xcp(3) == 0.0000001);
}

// The warning only above 0.0001; the filler keeps the prompt on line 37 until rows overflow.
TEST(TextScreenTest, WarningFillerAndPromptOfBothListings) {
  struct Case { int nd; double rms; const char* rmsText; std::size_t promptLine; };
  const Case cases[] = {{5, 0.0001, "0.00010", 37}, {5, 0.00011, "0.00011", 37},
                        {20, 0, "0.00000", 37},     {20, 0.001, "0.00100", 37},
                        {30, 0, "0.00000", 37},     {29, 0.001, "0.00100", 38},
                        {31, 0, "0.00000", 38}};
  for (const Case& c : cases)
    for (int k = 1; k <= 2; ++k) {
      SCOPED_TRACE(testing::Message() << c.nd << " points, rms " << c.rmsText << ", curve " << k);
      State s = Results(std::vector<Row>(c.nd, Row{0.5, 0.5, 0.5, 0.5, 0.5}), c.rms, c.rms);
      RecordingDisplay d;
      (k == 1 ? List_Data1 : List_Data2)(s, d);
      const std::string curve = k == 1 ? "foil" : "camber";
      std::vector<std::string> tail = {" ", kRms + c.rmsText, " ",
                                       " Check the " + curve + " input data for fairness !! "};
      if (c.rms <= 0.0001) tail.resize(2);
      const auto lines = Lines(d);
      ASSERT_EQ(lines.size(), c.promptLine);
      tail.resize(c.promptLine - 5 - c.nd, " ");  // the filler
      tail.push_back(kPrompts[k]);
      EXPECT_EQ(std::vector<std::string>(lines.begin() + 4 + c.nd, lines.end()), tail);
      EXPECT_EQ(Looks(d.page())[lines.size() - 2], c.rms > 0.0001 ? 'r' : 'k');
    }
}

// Six presses of Next Screen, then numbers that select no screen: the rows that exist listed.
TEST(CycleTest, EveryScreenInTurnOnInconsistentStates) {
  struct Case { const char* name; void (*change)(State&); int cps = 4, rows = 5, points = 5; };
  const Case cases[] = {
      {"before any run", [](State& s) { s = State(); }, 0, 0, 0},
      {"stopped run", [](State& s) {  // read 8 points, then stopped: no fit of them
         const State r = Results(std::vector<Row>(8), 0, 0);
         s.nd = 8, s.ncp = 6, s.data = r.data, s.fit.reset(); }, 0, 0, 8},
      {"ncp raised", [](State& s) { s.ncp = 25; }},
      {"ncp lowered", [](State& s) { s.ncp = 3; }, 3},
      {"ncp 0", [](State& s) { s.ncp = 0; }, 0},
      {"ncp huge", [](State& s) { s.ncp = 1e30; }},
      {"ncp infinite", [](State& s) { s.ncp = INFINITY; }},
  };
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
      SCOPED_TRACE(press);
      ASSERT_EQ(lines.size(), 37u);
      EXPECT_EQ(lines.back(), kPrompts[screen]);
      EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isRow),
                screen == 4 ? c.cps : screen == 1 || screen == 2 ? c.rows : 0);
      EXPECT_EQ(d.page().shapes.size(), screen == 3 ? 2u + 2 * c.points : 0u);  // no curves
      if (screen == 4) { EXPECT_EQ(std::count(lines.begin(), lines.end(), " "), 31 - c.cps); }
    }
    for (std::int16_t n : {std::int16_t{5}, std::int16_t{-1}}) {
      const auto before = Lines(d);
      s.nScreen = n, Command3_Click(s, d);
      EXPECT_TRUE(s.nScreen == n && Lines(d) == before) << "nScreen " << n;
    }
  }
}


// A display that keeps a table's rows as the function that makes them, as
// the window's display area does.
class LazyDisplay : public RecordingDisplay {
 public:
  LazyDisplay() { keepRowsLazily(true); }
};

// Kept lazily, a listing is the same page line by line, in the same colours,
// long after the state has moved on; its widest row is counted as written,
// at the values whose integer part grows when rounded, and beyond.
TEST(LazyRowsTest, AListingKeptLazilyIsThePagePrintedWhateverTheStateDoesLater) {
  const double values[] = {8.999999, 9, 9.999994, 9.999995, -9.999995, 12345.5, NAN, INFINITY, -INFINITY};
  for (const double v : values) {
    SCOPED_TRACE(v);
    for (int k = 1; k <= 2; ++k) {
      State s = SmallSection();
      s.fit->thickness.fitted[2] = v, s.fit->camber.difference[3] = static_cast<float>(v);
      RecordingDisplay printed;
      LazyDisplay kept;
      (k == 1 ? List_Data1 : List_Data2)(s, printed);
      (k == 1 ? List_Data1 : List_Data2)(s, kept);
      ASSERT_TRUE(kept.page().lazy.has_value());
      EXPECT_FALSE(printed.page().lazy.has_value());
      EXPECT_EQ(kept.page().lazy->at, 4u);
      s.fit.reset(), s.data = Section{}, s.largest = {2, 2};
      EXPECT_EQ(kept.page().texts(), printed.page().texts());
      EXPECT_EQ(Looks(kept.page()), Looks(printed.page()));
      std::size_t widest = 0;
      for (std::size_t n = 4; n < 9; ++n) widest = std::max(widest, printed.page().lines[n].text().size());
      EXPECT_EQ(kept.page().lazy->rows.widest, widest);
    }
  }
}

// Rows that would continue an open line, and a second table, are printed.
TEST(LazyRowsTest, RowsAfterAnOpenLineOrASecondTableArePrinted) {
  const Rows rows{3, 2, [](std::size_t n) { return std::string(n == 1 ? "" : "r") + std::to_string(n); }};
  LazyDisplay d;
  d.Print({"open "}, LineEnd::KeepOpen);
  d.PrintRows(rows);
  EXPECT_FALSE(d.page().lazy.has_value());
  d.PrintRows(rows);
  d.ForeColor(kRed);
  d.PrintRows(rows);
  d.Print({"last"});
  EXPECT_EQ(Lines(d), (std::vector<std::string>{"open r0", "1", "r2", "r0", "1", "r2", "r0", "1", "r2", "last"}));
  EXPECT_EQ(Looks(d.page()), "kkkkkkrrrr");
  ASSERT_TRUE(d.page().lazy.has_value());
  EXPECT_EQ(d.page().lazy->at, 3u);
  EXPECT_EQ(d.page().lines.size(), 7u);
  d.Cls();
  EXPECT_TRUE(d.page().size() == 0 && !d.page().lazy);
}

// Line 1 of a listing, the graphic and the control points, and the files of
// the first page: those of the results whenever the input file named is not
// the file they were read from, the usual ones otherwise.
TEST(ResultsLineTest, TheScreensNameTheFileOfTheirResultsWhenAnotherIsNamed) {
  const struct {
    const char* name;
    std::string read, input;
    bool refused;
    std::string line1, fileRead, fileSaved;
  } cases[] = {
      {"never read", "", "/data/naca0012.dat", false, "", "/data/naca0012.dat", "/data/naca0012.FOI"},
      {"read the file named", "/data/naca0012.dat", "/data/naca0012.dat", false, "", "/data/naca0012.dat",
       "/data/naca0012.FOI"},
      {"another named", "/data/naca0012.dat", "/data/naca4412.dat", false, "File read     : /data/naca0012.dat",
       "/data/naca0012.dat", "/data/naca0012.FOI"},
      {"the file named refused", "/data/naca0012.dat", "/data/naca0012.dat", true,
       "File read     : /data/naca0012.dat", "/data/naca0012.dat", "/data/naca0012.FOI"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    State s = SmallSection();
    s.ReadFile = c.read, s.InFile = c.input, s.ReadRefused = c.refused;
    s.OutFile = "/data/other.FOI";
    const bool other = c.line1 != "";
    RecordingDisplay d;
    for (auto screen : {List_Data1, List_Data2, Draw_Graphic, List_Foil_Camber}) {
      screen(s, d);
      EXPECT_EQ(Lines(d).at(0), other ? c.line1 : screen == Draw_Graphic ? " " : "");
    }
    Print_FirstPage(s, d);
    EXPECT_EQ(Lines(d).at(6), "File read     : " + c.fileRead);
    EXPECT_EQ(Lines(d).at(10), other ? "File saved    : " + c.fileSaved : "File not saved: /data/other.FOI");
  }
}


}  // namespace
}  // namespace tarvelo
