// "svg": the exact outline of a stored section as an SVG drawing.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>

#include "bspline/bezier.h"
#include "foilio/xml_text.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

// Without a chord length: drawing units per chord. The room left around the
// section is a twentieth of the chord.
constexpr double kUnitsPerChord = 1000;
constexpr double kMarginPerChord = 0.05;
// Nine decimals of a unit are 1e-12 of the chord: the Bezier points as
// exactly as the outline is known.
constexpr int kDecimals = 9;

void Number(std::string& out, double v) {
  if (!std::isfinite(v)) throw BeyondDoubles("the outline as drawn");
  AppendDecimal(out, v, kDecimals);
}

// The drawing: user units per outline unit, and how a length in user units
// is written for the width and height (SVG has no metres: they go as
// millimetres).
struct Units {
  double scale = kUnitsPerChord;
  double lengthFactor = 1;
  const char* suffix = "";
};

Units UnitsOf(const ExportOptions& options) {
  if (options.chord <= 0 && options.units == LengthUnit::None) return {};
  switch (options.units) {
    case LengthUnit::Millimetre: return {1, 1, "mm"};
    case LengthUnit::Centimetre: return {1, 1, "cm"};
    case LengthUnit::Metre: return {1, 1000, "mm"};
    case LengthUnit::Inch: return {1, 1, "in"};
    case LengthUnit::None: break;
  }
  return {1, 1, ""};
}

// A point of the section in user units, y upwards.
void Point(std::string& out, const Units& u, double x, double y) {
  Number(out, u.scale * x);
  out += ',';
  Number(out, -u.scale * y);
}

// One surface as a path of cubic Bezier segments.
void Path(std::string& out, const Units& u, const char* id, const std::vector<double>& x,
          const std::vector<double>& y) {
  out += "<path id=\"";
  out += id;
  out += "\" d=\"M ";
  Point(out, u, x[0], y[0]);
  for (std::size_t i = 1; i + 2 < x.size(); i += 3) {
    out += " C ";
    for (std::size_t k = i; k < i + 3; ++k) {
      if (k > i) out += ' ';
      Point(out, u, x[k], y[k]);
    }
  }
  out += "\"/>\n";
}

}  // namespace

std::string WriteSvg(const FoilSpline& foil, const ExportOptions& options) {
  const DrawnSurfaces outline = DrawnSurfacesOf(foil, options);
  // Each surface its own x: laid off across the mean line, they differ.
  const std::vector<double> upperX = BezierOrdinates(outline.upper.knots, outline.upper.x);
  const std::vector<double> upper = BezierOrdinates(outline.upper.knots, outline.upper.y);
  const std::vector<double> lowerX = BezierOrdinates(outline.lower.knots, outline.lower.x);
  const std::vector<double> lower = BezierOrdinates(outline.lower.knots, outline.lower.y);
  const Units u = UnitsOf(options);
  const double chord = u.scale * DrawnChord(options);
  const double margin = kMarginPerChord * chord;

  // Each segment lies within its control points, and so the outline within
  // the highest and lowest of them.
  double top = 0;
  double bottom = 0;
  for (const std::vector<double>* side : {&upper, &lower}) {
    top = std::max(top, *std::max_element(side->begin(), side->end()));
    bottom = std::min(bottom, *std::min_element(side->begin(), side->end()));
  }
  // Laid off across the mean line, the surfaces may reach a little ahead of
  // the leading edge and behind the trailing edge.
  double left = 0;
  double right = chord;
  for (const std::vector<double>* xs : {&upperX, &lowerX}) {
    left = std::min(left, u.scale * *std::min_element(xs->begin(), xs->end()));
    right = std::max(right, u.scale * *std::max_element(xs->begin(), xs->end()));
  }
  const double width = (right - left) + 2 * margin;
  const double height = u.scale * (top - bottom) + 2 * margin;
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  Number(out, width * u.lengthFactor);
  out += u.suffix;
  out += "\" height=\"";
  Number(out, height * u.lengthFactor);
  out += u.suffix;
  out += "\" viewBox=\"";
  Number(out, left - margin);
  out += ' ';
  Number(out, -u.scale * top - margin);
  out += ' ';
  Number(out, width);
  out += ' ';
  Number(out, height);
  out += "\">\n<title>";
  AppendXmlText(out, OutlineName(foil, options.size));
  out += "</title>\n";
  // Lines as thin as on a drawing of 1000 units to the chord.
  const double line = chord / kUnitsPerChord;
  out += "<line id=\"chord\" x1=\"0\" y1=\"0\" x2=\"";
  Number(out, chord);
  out += "\" y2=\"0\" stroke=\"#808080\" stroke-width=\"";
  Number(out, 0.5 * line);
  out += "\"/>\n";
  out += "<g fill=\"none\" stroke=\"#000000\" stroke-width=\"";
  Number(out, line);
  out += "\">\n";
  Path(out, u, "upper", upperX, upper);
  Path(out, u, "lower", lowerX, lower);
  // An open trailing edge is closed by a line between the surfaces' ends.
  if (upperX.back() != lowerX.back() || upper.back() != lower.back()) {
    out += "<line id=\"te\" x1=\"";
    Number(out, u.scale * upperX.back());
    out += "\" y1=\"";
    Number(out, -u.scale * upper.back());
    out += "\" x2=\"";
    Number(out, u.scale * lowerX.back());
    out += "\" y2=\"";
    Number(out, -u.scale * lower.back());
    out += "\"/>\n";
  }
  out += "</g>\n</svg>\n";
  return out;
}

std::string ExportSvg(const FoilSpline& foil, const OutlineSize& size) {
  ExportOptions options;
  options.size = size;
  return WriteSvg(foil, options);
}

}  // namespace tarvelo
