// The outline of a stored section at a size, and the chord stations the
// exports sample it at.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <utility>

#include "bspline/bezier.h"
#include "bspline/bspline.h"
#include "foilio/number_format.h"
#include "lib/foil.h"

namespace tarvelo {

Error NotAFoilSpline() {
  return Error(ErrorKind::Usage,
               "the foil spline is not one of 4 to " + std::to_string(kFoilSplineMostPoints) +
                   " cubic control points with x from 0 to 1");
}

Error BeyondDoubles(const std::string& what) {
  return Error(ErrorKind::Overflow, what + " is beyond the range of a double");
}

void CheckIdLine(const std::string& id_line) {
  if (id_line.find_first_of("\r\n") != std::string::npos)
    throw Error(ErrorKind::Usage, "the ID line holds a line end (CR or LF)");
}

std::vector<double> KnotsOf(const FoilSpline& foil) {
  constexpr int kOrder = 4;
  const std::vector<double>& x = foil.control_x;
  const std::size_t n = x.size();
  if (foil.order != kOrder || n < kCubicControlPointsFewest || n > kFoilSplineMostPoints ||
      foil.thickness.size() != n || foil.camber.size() != n)
    throw NotAFoilSpline();
  // x(t) must reach every chord position once: from 0 to 1, never back.
  if (x.front() != 0 || x.back() != 1 || !std::is_sorted(x.begin(), x.end()) ||
      std::any_of(x.begin(), x.end(), [](double v) { return std::isnan(v); }))
    throw NotAFoilSpline();
  const auto finite = [](const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double c) { return std::isfinite(c); });
  };
  if (!finite(foil.thickness) || !finite(foil.camber))
    throw Error(ErrorKind::Usage, "the foil spline has a thickness or camber that is not a finite number");
  const int nv = static_cast<int>(n);
  Array1<double> tk;
  tk.allocate(1, nv + kOrder);
  KNOTS(kOrder, nv, tk);
  return {tk.span().begin(), tk.span().end()};
}

void CheckOutlineSize(const OutlineSize& size) {
  if (!(size.thickness > 0 && size.thickness <= 1))
    throw Error(ErrorKind::Usage,
                "the largest thickness must be above 0 and at most 1 (a fraction of the chord)");
  if (!(size.camber >= -1 && size.camber <= 1))
    throw Error(ErrorKind::Usage, "the largest camber must be from -1 to 1 (a fraction of the chord)");
}

bool HasCamber(const FoilSpline& foil) {
  return std::any_of(foil.camber.begin(), foil.camber.end(), [](double c) { return c != 0; });
}

void CheckCamberScale(const FoilSpline& foil, const OutlineSize& size) {
  // Scaling zeros would give no camber whatever was asked: asked for, it is
  // refused rather than named in a header the outline belies.
  if (!HasCamber(foil) && size.camber != 0)
    throw Error(ErrorKind::Usage, "the section has no camber (its stored camber is 0 everywhere): a largest "
                                  "camber of " + ShortestText(size.camber) + " cannot be given it, only 0");
  const bool normalised = std::any_of(foil.camber.begin(), foil.camber.end(), [](double c) { return c > 0; });
  if (!normalised && size.camber != 1 && size.camber != 0 &&
      std::any_of(foil.camber.begin(), foil.camber.end(), [](double c) { return c != 0; }))
    throw Error(ErrorKind::Usage,
                "the stored camber is nowhere above 0: it holds the section's own camber, which only "
                "a largest camber of 1 gives back (0 leaves it out)");
}

namespace {

// Eight significant digits, the shortest text of them: "0.08721756", not
// the binary noise of "0.08721755999999999".
std::string EightDigits(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 8);
  std::string text(buf.data(), res.ptr);
  if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
  return text;
}

}  // namespace

std::string OutlineName(const FoilSpline& foil, const OutlineSize& size) {
  const OutlineSize drawn = DrawnExtremes(foil, size);
  return foil.id_line + " t/c=" + EightDigits(drawn.thickness) +
         (drawn.camber == 0 ? std::string(" symmetric") : " f/c=" + EightDigits(drawn.camber));
}

std::string ShortestText(double v) {
  std::array<char, 64> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  return std::string(buf.data(), res.ptr);
}

void CheckTrailingEdge(const OutlineSize& size, std::optional<double> te_thickness) {
  if (te_thickness && !(*te_thickness >= 0 && *te_thickness <= size.thickness))
    throw Error(ErrorKind::Usage,
                "the trailing-edge thickness must be from 0 to the largest thickness");
}

FoilSpline WithTrailingEdge(const FoilSpline& foil, const OutlineSize& size, std::optional<double> te_thickness) {
  CheckOutlineSize(size);
  CheckCamberScale(foil, size);
  CheckTrailingEdge(size, te_thickness);
  KnotsOf(foil);
  if (!te_thickness) return foil;
  // x, thickness and camber share one basis, so a thickness linear in x is a
  // multiple of x's control points; x runs to 1, so the last control point
  // alone sets the trailing edge.
  FoilSpline thicker = foil;
  const double added = *te_thickness / size.thickness - foil.thickness.back();
  for (std::size_t j = 0; j < foil.thickness.size(); ++j) thicker.thickness[j] += added * foil.control_x[j];
  return thicker;
}

std::vector<OutlineSpan> OutlineSpans(const FoilSpline& foil, const OutlineSize& size) {
  const std::vector<double> knots = KnotsOf(foil);
  std::vector<double> thickness, camber;
  for (std::size_t j = 0; j < foil.control_x.size(); ++j) {
    thickness.push_back(size.thickness * foil.thickness[j]);
    camber.push_back(size.camber * foil.camber[j]);
  }
  const std::vector<double> x = BezierOrdinates(knots, foil.control_x);
  const std::vector<double> t = BezierOrdinates(knots, thickness);
  const std::vector<double> c = BezierOrdinates(knots, camber);
  std::vector<OutlineSpan> spans((x.size() - 1) / 3);
  for (std::size_t k = 0; k < spans.size(); ++k) {
    for (std::size_t i = 0; i < 4; ++i) {
      spans[k].x[i] = x[3 * k + i];
      spans[k].thickness[i] = t[3 * k + i];
      spans[k].camber[i] = c[3 * k + i];
    }
  }
  return spans;
}

OutlineSpline SectionOutline(const FoilSpline& given, const OutlineSize& size, std::optional<double> te_thickness) {
  const FoilSpline foil = WithTrailingEdge(given, size, te_thickness);
  OutlineSpline out;
  out.knots = KnotsOf(foil);
  out.x = foil.control_x;
  for (std::size_t j = 0; j < foil.control_x.size(); ++j) {
    const double half = size.thickness * foil.thickness[j] / 2;
    out.upper.push_back(size.camber * foil.camber[j] + half);
    out.lower.push_back(size.camber * foil.camber[j] - half);
    if (!std::isfinite(out.upper.back()) || !std::isfinite(out.lower.back()))
      throw BeyondDoubles("the outline's control point " + std::to_string(j + 1));
  }
  return out;
}

OutlineSpline DrawnOutline(const FoilSpline& foil, const ExportOptions& options) {
  OutlineSpline outline = SectionOutline(foil, options.size);
  const double chord = DrawnChord(options);
  if (chord != 1)
    for (std::vector<double>* v : {&outline.x, &outline.upper, &outline.lower})
      for (double& c : *v) c *= chord;
  return outline;
}

namespace {

constexpr std::pair<LengthUnit, const char*> kUnits[] = {
    {LengthUnit::Millimetre, "mm"}, {LengthUnit::Centimetre, "cm"}, {LengthUnit::Metre, "m"}, {LengthUnit::Inch, "in"}};

}  // namespace

const char* LengthUnitName(LengthUnit unit) {
  for (const auto& [u, name] : kUnits)
    if (u == unit) return name;
  return "";
}

LengthUnit FindLengthUnit(std::string_view name) {
  for (const auto& [u, text] : kUnits)
    if (name == text) return u;
  throw Error(ErrorKind::Usage, "unknown unit '" + std::string(name) + "': use mm, cm, m or in");
}

namespace {

constexpr std::pair<Layoff, const char*> kLayoffs[] = {{Layoff::Vertical, "vertical"}, {Layoff::Across, "across"}};

}  // namespace

const char* LayoffName(Layoff layoff) {
  for (const auto& [l, name] : kLayoffs)
    if (l == layoff) return name;
  return "";
}

Layoff FindLayoff(std::string_view name) {
  for (const auto& [l, text] : kLayoffs)
    if (name == text) return l;
  throw Error(ErrorKind::Usage, "unknown lay-off '" + std::string(name) + "': use vertical or across");
}

OutlineSize OwnSize(const Fit& fit) {
  const auto scale = [](const CurveFit& curve) { return curve.ymax > 0 ? curve.ymax : 1.0; };
  const bool cambered = std::any_of(fit.camber.control.begin(), fit.camber.control.end(), [](double c) { return c != 0; });
  return {scale(fit.thickness), cambered ? scale(fit.camber) : 0.0};
}

std::vector<double> CosineStations(int count) {
  if (count < 2) throw Error(ErrorKind::Usage, "at least 2 stations are needed");
  if (count > kMostExportPoints)
    throw Error(ErrorKind::Usage, "at most " + std::to_string(kMostExportPoints) + " stations are allowed");
  std::vector<double> x;
  x.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    x.push_back((1 - std::cos(std::numbers::pi * i / (count - 1))) / 2);
  return x;
}

}  // namespace tarvelo
