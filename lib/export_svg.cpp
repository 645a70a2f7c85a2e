// "svg": the exact outline of a stored section as an SVG drawing.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>

#include "bspline/bezier.h"
#include "foilio/xml_text.h"
#include "lib/exports.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

// Drawing units per chord, and the room left around the section.
constexpr double kChord = 1000;
constexpr double kMargin = 50;
// Nine decimals of a unit are 1e-12 of the chord: the Bezier points as
// exactly as the outline is known.
constexpr int kDecimals = 9;

void Number(std::string& out, double v) {
  if (!std::isfinite(v)) throw BeyondDoubles("The outline at " + ShortestText(kChord) + " units to the chord");
  AppendDecimal(out, v, kDecimals);
}

// A point of the section in drawing units, y upwards.
void Point(std::string& out, double x, double y) {
  Number(out, kChord * x);
  out += ',';
  Number(out, -kChord * y);
}

// One surface as a path of cubic Bezier segments.
void Path(std::string& out, const char* id, const std::vector<double>& x,
          const std::vector<double>& y) {
  out += "<path id=\"";
  out += id;
  out += "\" d=\"M ";
  Point(out, x[0], y[0]);
  for (std::size_t i = 1; i + 2 < x.size(); i += 3) {
    out += " C ";
    for (std::size_t k = i; k < i + 3; ++k) {
      if (k > i) out += ' ';
      Point(out, x[k], y[k]);
    }
  }
  out += "\"/>\n";
}

}  // namespace

std::string ExportSvg(const FoilSpline& foil, const OutlineSize& size) {
  const OutlineSpline outline = SectionOutline(foil, size);
  const std::vector<double> x = BezierOrdinates(outline.knots, outline.x);
  const std::vector<double> upper = BezierOrdinates(outline.knots, outline.upper);
  const std::vector<double> lower = BezierOrdinates(outline.knots, outline.lower);

  // Each segment lies within its control points, and so the outline within
  // the highest and lowest of them.
  double top = 0;
  double bottom = 0;
  for (const std::vector<double>* side : {&upper, &lower}) {
    top = std::max(top, *std::max_element(side->begin(), side->end()));
    bottom = std::min(bottom, *std::min_element(side->begin(), side->end()));
  }
  const double width = kChord + 2 * kMargin;
  const double height = kChord * (top - bottom) + 2 * kMargin;

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  Number(out, width);
  out += "\" height=\"";
  Number(out, height);
  out += "\" viewBox=\"";
  Number(out, -kMargin);
  out += ' ';
  Number(out, -kChord * top - kMargin);
  out += ' ';
  Number(out, width);
  out += ' ';
  Number(out, height);
  out += "\">\n<title>";
  AppendXmlText(out, OutlineName(foil, size));
  out += "</title>\n";
  out += "<line id=\"chord\" x1=\"0\" y1=\"0\" x2=\"";
  Number(out, kChord);
  out += "\" y2=\"0\" stroke=\"#808080\" stroke-width=\"0.5\"/>\n";
  out += "<g fill=\"none\" stroke=\"#000000\" stroke-width=\"1\">\n";
  Path(out, "upper", x, upper);
  Path(out, "lower", x, lower);
  out += "</g>\n</svg>\n";
  return out;
}

std::string WriteSvg(const FoilSpline& foil, const ExportOptions& options) {
  return ExportSvg(foil, options.size);
}

}  // namespace tarvelo
