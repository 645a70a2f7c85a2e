// What an exported outline says of itself: the largest thickness and camber
// it has, not the numbers that multiplied its curves, and a section without
// camber named so and never given one.
#include <tarvelo/tarvelo.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarvelo {
namespace {

// Four control points, every one with the same thickness and camber: an
// outline whose thickness and camber are those numbers times the size.
FoilSpline Flat(double thickness, double camber) {
  return {"flat", 4, {0, 0, 1.0 / 3, 1}, std::vector<double>(4, thickness), std::vector<double>(4, camber), {}};
}

std::string NameLine(const FoilSpline& foil, const OutlineSize& size) {
  const std::string selig = ExportSelig(foil, size, 3);
  return selig.substr(0, selig.find('\n'));
}

// Eight significant digits of what the outline has, whatever binary noise
// the product of the stored curve and the size carries; a camber below the
// chord line named by its sign; a reflexed one by the side farther off.
TEST(OutlineLabelTest, TheNameGivesTheThicknessAndCamberTheOutlineHas) {
  FoilSpline reflexed = Flat(1, 0);
  reflexed.camber = {0, 0.02, 0.01, -0.03};
  const struct {
    const char* what;
    FoilSpline foil;
    OutlineSize size;
    std::string name;
  } rows[] = {
      {"noise in the size", Flat(1, 1), {0.08721755999999999, 0.023778519999999997},
       "flat t/c=0.08721756 f/c=0.02377852"},
      {"stored curves that are not 1", Flat(0.5, 0.1), {0.1, 0.5}, "flat t/c=0.05 f/c=0.05"},
      {"the ninth digit rounded", Flat(1, 1), {0.123456789, 0.1}, "flat t/c=0.12345679 f/c=0.1"},
      {"cambered below the chord line", Flat(1, -0.1), {0.1, 1}, "flat t/c=0.1 f/c=-0.1"},
      {"drawn without its camber", Flat(1, 1), {0.1, 0}, "flat t/c=0.1 symmetric"},
      {"without camber", Flat(1, 0), {0.1, 0}, "flat t/c=0.1 symmetric"},
      {"without camber, drawn with -0", Flat(1, 0), {0.1, -0.0}, "flat t/c=0.1 symmetric"},
  };
  for (const auto& r : rows) EXPECT_EQ(NameLine(r.foil, r.size), r.name) << r.what;
  // The control polygon's lowest and highest camber are the curve's here:
  // at x = 1 and at the second control point's end of the first span.
  const std::string name = NameLine(reflexed, {0.1, 1});
  EXPECT_EQ(name, "flat t/c=0.1 f/c=-0.03");
  // The SVG's title is the same name.
  const std::string svg = ExportSvg(Flat(1, 1), {0.08721755999999999, 0.023778519999999997});
  EXPECT_NE(svg.find("<title>flat t/c=0.08721756 f/c=0.02377852</title>"), std::string::npos);
}

// A section without camber takes a camber of 0 (or -0) alone, on every path
// that draws it; the smallest camber above or below 0 is refused, with the
// same message, and a section with camber takes it.
TEST(OutlineLabelTest, ACamberAskedOfASectionWithoutCamberIsRefusedEverywhere) {
  const Fit fit = FitSection(ReadSection(test::ExamplePath("naca0012.dat")), 8);
  const FoilSpline symmetric = FoilSplineOf(fit);
  EXPECT_FALSE(HasCamber(symmetric));
  EXPECT_TRUE(HasCamber(ReadFoilFile(test::ExamplePath("naca2412.FOI"))));
  EXPECT_TRUE(HasCamber(Flat(1, -1e-300)));
  EXPECT_EQ(OwnSize(fit).camber, 0.0);
  const double tiny = std::nextafter(0.0, 1.0);
  const std::vector<std::pair<std::string, std::function<void(const OutlineSize&)>>> paths = {
      {"ExportSelig", [&](const OutlineSize& s) { ExportSelig(symmetric, s, 5); }},
      {"ExportDxf", [&](const OutlineSize& s) { ExportDxf(symmetric, s); }},
      {"ExportSvg", [&](const OutlineSize& s) { ExportSvg(symmetric, s); }},
      {"SectionOutline", [&](const OutlineSize& s) { SectionOutline(symmetric, s); }},
      {"SectionProperties", [&](const OutlineSize& s) { SectionProperties(symmetric, s); }},
      {"SectionProperties with a trailing edge",
       [&](const OutlineSize& s) { SectionProperties(symmetric, s, 0.001); }},
      {"Export selig", [&](const OutlineSize& s) { Export(symmetric, "selig", {.size = s}); }},
      {"Export dxf", [&](const OutlineSize& s) { Export(symmetric, "dxf", {.size = s}); }},
      {"Export svg", [&](const OutlineSize& s) { Export(symmetric, "svg", {.size = s}); }},
      {"Export properties", [&](const OutlineSize& s) { Export(symmetric, "properties", {.size = s}); }},
  };
  const struct {
    double camber;
    std::string refusal;  // "" where it is taken
  } rows[] = {
      {0.0, ""},
      {-0.0, ""},
      {tiny, "the section has no camber (its stored camber is 0 everywhere): a largest camber of 5e-324 "
             "cannot be given it, only 0"},
      {-tiny, "the section has no camber (its stored camber is 0 everywhere): a largest camber of -5e-324 "
              "cannot be given it, only 0"},
      {1, "the section has no camber (its stored camber is 0 everywhere): a largest camber of 1 cannot be "
          "given it, only 0"},
  };
  for (const auto& [path, draw] : paths) {
    for (const auto& r : rows) {
      try {
        draw({0.12, r.camber});
        EXPECT_EQ(r.refusal, "") << path << " " << r.camber;
      } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::Usage) << path;
        EXPECT_EQ(e.what(), r.refusal) << path << " " << r.camber;
      }
    }
  }
  EXPECT_EQ(NameLine(symmetric, OwnSize(fit)).substr(fit.id_line.size()), " t/c=0.12003605 symmetric");
}

}  // namespace
}  // namespace tarvelo
