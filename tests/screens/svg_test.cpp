// The SVG document of a page, checked by its structure.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "screens/screens.h"
#include "screens/svg.h"
#include "sections.h"

namespace tarvelo {
namespace {

std::size_t Count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// The values of attribute `attr` of every element that begins with `open`.
std::vector<std::string> Values(const std::string& svg, const std::string& open,
                                const std::string& attr) {
  std::vector<std::string> out;
  for (std::size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
    const std::size_t end = svg.find('>', at);
    const std::size_t a = svg.find(" " + attr + "=\"", at);
    if (a == std::string::npos || a > end) continue;
    const std::size_t from = a + attr.size() + 3;
    out.push_back(svg.substr(from, svg.find('"', from) - from));
  }
  return out;
}

// Point lists of the polylines drawn in a colour.
std::vector<std::string> Polylines(const std::string& svg, const std::string& colour) {
  std::vector<std::string> out;
  const auto points = Values(svg, "<polyline ", "points");
  const auto strokes = Values(svg, "<polyline ", "stroke");
  for (std::size_t i = 0; i < points.size(); ++i)
    if (strokes.at(i) == colour) out.push_back(points[i]);
  return out;
}

// Baselines of the text lines, top to bottom.
std::vector<double> TextBaselines(const std::string& svg) {
  std::vector<double> out;
  for (const std::string& y : Values(svg, "<text ", "y")) out.push_back(std::stod(y));
  return out;
}

std::string GraphicSvg() {
  State s = test::SmallSection();
  s.yd(2, 2) = 0.1;
  RecordingDisplay d;
  Draw_Graphic(s, d);
  return PageToSvg(d.page());
}

TEST(SvgTest, GraphicChordCurvesCirclesAndPrompt) {
  const std::string svg = GraphicSvg();
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_NE(svg.find("viewBox=\"0 0 6345 7860\""), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");

  EXPECT_EQ(Polylines(svg, "#000000"), std::vector<std::string>{"400,6700 5745,6700"});
  for (const char* colour : {"#0000ff", "#ff0000"}) {
    const auto curves = Polylines(svg, colour);
    ASSERT_EQ(curves.size(), 1u) << colour;
    EXPECT_EQ(Count(curves[0], ","), 101u) << colour;  // 100 segments
    EXPECT_EQ(curves[0].rfind("400,6700 ", 0), 0u);
  }
  EXPECT_EQ(Count(svg, "<circle "), 10u);
  EXPECT_NE(svg.find("<circle cx=\"400\" cy=\"6700\" r=\"50\" fill=\"none\" stroke=\"#0000ff\""),
            std::string::npos);
  EXPECT_NE(svg.find("<circle cx=\"934.5\" cy=\"6165.5\" r=\"50\" fill=\"none\" stroke=\"#ff0000\""),
            std::string::npos);
  EXPECT_NE(svg.find("cy=\"6806.9\" r=\"50\" fill=\"none\" stroke=\"#ff0000\""), std::string::npos);
  // The chord's start point and each curve's first point.
  EXPECT_EQ(Count(svg, "<rect "), 1u + 3u);

  EXPECT_NE(svg.find("<tspan fill=\"#0000ff\">   Click on &lt;Next Screen&gt; for foil thickness "
                     "and camber</tspan>"),
            std::string::npos);
  // The three texts; blank lines draw nothing. The prompt stands in the last
  // 37th of the height.
  const auto y = TextBaselines(svg);
  ASSERT_EQ(y.size(), 3u);
  EXPECT_GT(y[0], 7860.0 * 1 / 37);
  EXPECT_LT(y[0], 7860.0 * 2 / 37);
  EXPECT_GT(y[2], 7860.0 * 36 / 37);
  EXPECT_LT(y[2], 7860.0);
}

TEST(SvgTest, NumbersKeepThePointUnderACommaLocale) {
  const std::string plain = GraphicSvg();
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_ALL, n)) != nullptr) break;
  if (set == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const std::string svg = GraphicSvg();
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(svg, plain);
}

TEST(SvgTest, TextsAreEscapedColouredAndBold) {
  State s;
  s.ErMsg = "  a&b<c>\"d'e.dat - Input file not found !! ";
  RecordingDisplay d;
  Print_ErMsg(s, d);
  d.Print({"Latin-1 \xe9, UTF-8 \xc3\xa9, cut \xc3, control \x01."});
  const std::string svg = PageToSvg(d.page());

  // No scale set: the area's inner size, 37 lines to its height.
  EXPECT_NE(svg.find("viewBox=\"0 0 6345 7860\""), std::string::npos);
  EXPECT_NE(svg.find("<tspan fill=\"#ff0000\" font-weight=\"bold\">  a&amp;b&lt;c&gt;&quot;d&apos;"
                     "e.dat - Input file not found !! </tspan>"),
            std::string::npos);
  EXPECT_NE(svg.find("<tspan fill=\"#000000\">Latin-1 &#xe9;, UTF-8 \xc3\xa9, cut &#xc3;, control "
                     "?.</tspan>"),
            std::string::npos);
  const auto y = TextBaselines(svg);
  ASSERT_EQ(y.size(), 2u);
  EXPECT_GT(y[0], 7860.0 * 30 / 37);
  EXPECT_LT(y[0], 7860.0 * 31 / 37);
  EXPECT_NEAR(y[1] - y[0], 7860.0 / 37, 0.002);
  EXPECT_EQ(Count(svg, "<polyline"), 0u);
}

TEST(SvgTest, ShapesOffTheNumberLineAreLeftOutAndBreakTheChain) {
  const float inf = std::numeric_limits<float>::infinity();
  RecordingDisplay d;
  d.Scale(0, 100, 200, 0);  // y up
  d.PSet(0, 0);
  d.Line(10, 10);
  d.Line(inf, 5);
  d.Line(20, 20);
  d.Line(30, 30);
  d.ForeColor(kRed);
  d.Line(40, 40);
  d.Circle(std::nanf(""), 5, 50);
  d.PSet(-inf, 1);
  const std::string svg = PageToSvg(d.page());

  EXPECT_NE(svg.find("viewBox=\"0 0 200 100\""), std::string::npos);
  EXPECT_NE(svg.find("<g transform=\"matrix(1 0 0 -1 0 100)\">"), std::string::npos);
  EXPECT_EQ(Polylines(svg, "#000000"), (std::vector<std::string>{"0,0 10,10", "20,20 30,30"}));
  EXPECT_EQ(Polylines(svg, "#ff0000"), std::vector<std::string>{"30,30 40,40"});
  EXPECT_EQ(Count(svg, "<circle"), 0u);
  EXPECT_EQ(Count(svg, "<rect "), 2u);  // the background and the first point
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);

  // Lines that do not join are separate polylines.
  Page p;
  p.shapes = {Shape{Shape::Kind::Line, 0, 0, 1, 1}, Shape{Shape::Kind::Line, 2, 2, 3, 3}};
  EXPECT_EQ(Polylines(PageToSvg(p), "#000000"), (std::vector<std::string>{"0,0 1,1", "2,2 3,3"}));
}

}  // namespace
}  // namespace tarvelo
