// The blade's formats: the table every front end reads, and the files that
// need no CAD module: the sections' points and the pictures.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

#include "foilio/number_format.h"
#include "foilio/xml_text.h"
#include "lib/blade.h"
#include "lib/foil.h"

namespace tarvelo {

std::string WriteBladeStep(const Blade& blade, std::vector<SolidCheck>* solids);
std::string WriteBladeIges(const Blade& blade, std::vector<SolidCheck>* solids);
std::string WriteBladeStl(const Blade& blade, std::vector<SolidCheck>* solids);

namespace {

// Points of each section in the CSV, per side.
constexpr int kCsvStations = 41;

std::string WriteCsv(const Blade& blade, std::vector<SolidCheck>*) {
  const BladeShape shape = ShapeOf(blade);
  const std::vector<double> xs = CosineStations(kCsvStations);
  std::string out = "r/R,side,x,X,Y,Z\n";
  for (const BladeRow& row : blade.rows) {
    const Station s = shape.At(row.r);
    for (const double w : {1.0, -1.0})
      for (double x : xs) {
        const std::array<double, 3> p = shape.Point(s, shape.Foil(shape.ParameterOf(x)), w);
        out += PlainNumber(row.r) + (w > 0 ? ",back," : ",face,") + PlainNumber(x);
        for (double c : p) {
          out += ',';
          out += ShortestText(c + 0.0);
        }
        out += '\n';
      }
  }
  return out;
}

// The SVG: three panels, each kPanel units square with a margin.
constexpr double kPanel = 300, kMargin = 30;
constexpr int kOutlinePoints = 121;

std::string Num(double v) {
  std::string out;
  AppendDecimal(out, v, 2);
  return out;
}

// Four significant digits, for a legend.
std::string Significant(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 4);
  return std::string(buf.data(), res.ptr);
}

std::string Xml(std::string_view text) {
  std::string out;
  AppendXmlText(out, text);
  return out;
}

// A polyline of (a, b) points mapped into panel `k` so that the box
// [a0, a1] x [b0, b1] fills it, b upwards.
// A graph (`graph`) fills the panel in both directions; a drawing keeps its
// proportions.
struct Frame {
  int k;
  double a0, a1, b0, b1;
  bool graph = false;
  std::string Point(double a, double b) const {
    const double scale = std::min(kPanel / (a1 - a0), kPanel / (b1 - b0));
    const double x = kMargin + k * (kPanel + 2 * kMargin) + (a - a0) * (graph ? kPanel / (a1 - a0) : scale);
    const double y = kMargin + kPanel - (b - b0) * (graph ? kPanel / (b1 - b0) : scale);
    return Num(x) + "," + Num(y);
  }
};

std::string Path(const Frame& f, const std::vector<std::pair<double, double>>& points, const char* style) {
  std::string d;
  for (const auto& [a, b] : points) d += (d.empty() ? "M" : " L") + f.Point(a, b);
  return "<path d=\"" + d + "\" " + style + "/>\n";
}

std::string Label(const Frame& f, const std::string& text) {
  const double x = kMargin + f.k * (kPanel + 2 * kMargin);
  return "<text x=\"" + Num(x) + "\" y=\"" + Num(kMargin - 10) + "\" font-family=\"sans-serif\" font-size=\"13\">" +
         Xml(text) + "</text>\n";
}

std::string WriteSvg(const Blade& blade, std::vector<SolidCheck>*) {
  const BladeShape shape = ShapeOf(blade);
  const double radius = blade.diameter / 2;
  const double r0 = blade.rows.front().r, r1 = blade.rows.back().r;
  std::vector<std::pair<double, double>> le, te, high, low;
  for (int i = 0; i < kOutlinePoints; ++i) {
    const double rr = r0 + (r1 - r0) * i / (kOutlinePoints - 1);
    const Station s = shape.At(rr);
    // Expanded: each section laid flat along its helix, skew moving it aft.
    const double shift = s.r * s.skew / s.cos_phi;
    le.push_back({(shift - s.chord / 2) / radius, rr});
    te.push_back({(shift + s.chord / 2) / radius, rr});
    // Projected: the widest angle the section spans, seen along the shaft.
    double lo = 1e300, hi = -1e300;
    for (int j = 0; j <= 200; ++j)
      for (double w : {1.0, -1.0}) {
        const std::array<double, 3> p = shape.Point(s, shape.Foil(j / 200.0), w);
        const double a = std::atan2(p[1], p[2]);
        lo = std::min(lo, a);
        hi = std::max(hi, a);
      }
    high.push_back({rr * std::sin(hi), rr * std::cos(hi)});
    low.push_back({rr * std::sin(lo), rr * std::cos(lo)});
  }
  std::vector<std::pair<double, double>> expanded = le, projected = low;
  expanded.insert(expanded.end(), te.rbegin(), te.rend());
  expanded.push_back(le.front());
  projected.insert(projected.end(), high.rbegin(), high.rend());
  projected.push_back(low.front());

  const double width = 3 * (kPanel + 2 * kMargin);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    Num(width) + "\" height=\"" + Num(kPanel + 2 * kMargin) + "\" viewBox=\"0 0 " + Num(width) + " " +
                    Num(kPanel + 2 * kMargin) + "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  const char* outline = "fill=\"#dde6f0\" stroke=\"#1f4e79\" stroke-width=\"1.5\"";
  const char* guide = "fill=\"none\" stroke=\"#999999\" stroke-width=\"0.8\" stroke-dasharray=\"4 3\"";

  double a0 = 1e300, a1 = -1e300;
  for (const auto& [a, b] : expanded) a0 = std::min(a0, a), a1 = std::max(a1, a);
  const double half = std::max({a1, -a0, 0.5});
  const Frame ex{0, -half, half, 0, 1};
  out += Label(ex, "expanded outline (r/R up, chord/R across)");
  out += Path(ex, {{0, 0}, {0, 1}}, guide) + Path(ex, expanded, outline);

  const Frame pr{1, -1, 1, -1, 1};
  out += Label(pr, "projected outline, seen along the shaft");
  std::vector<std::pair<double, double>> circle;
  for (int i = 0; i <= 120; ++i)
    circle.push_back({std::sin(2 * std::numbers::pi * i / 120), std::cos(2 * std::numbers::pi * i / 120)});
  out += Path(pr, circle, guide);
  for (int k = 0; k < blade.blades; ++k) {
    const double turn = 2 * std::numbers::pi * k / blade.blades;
    std::vector<std::pair<double, double>> turned;
    for (const auto& [y, z] : projected)
      turned.push_back({y * std::cos(turn) + z * std::sin(turn), -y * std::sin(turn) + z * std::cos(turn)});
    out += Path(pr, turned, outline);
  }

  // The columns against r/R, each over its largest size.
  const Frame di{2, r0, r1, -1.05, 1.05, true};
  out += Label(di, "radial distributions, each over its largest size");
  out += Path(di, {{r0, 0}, {r1, 0}}, guide);
  const struct {
    const char* name;
    double BladeRow::*column;
    const char* colour;
  } columns[] = {{"c/D", &BladeRow::chord, "#1f77b4"},     {"P/D", &BladeRow::pitch, "#ff7f0e"},
                 {"t0/c", &BladeRow::thickness, "#2ca02c"}, {"f0/c", &BladeRow::camber, "#d62728"},
                 {"skew", &BladeRow::skew_deg, "#9467bd"},   {"rake/D", &BladeRow::rake, "#8c564b"}};
  int legend = 0;
  for (const auto& c : columns) {
    const std::vector<double> values = ColumnOf(blade.rows, c.column);
    const ColumnSpline spline = InterpolateColumn(RowRadii(blade.rows), values);
    double largest = 0;
    std::vector<std::pair<double, double>> line;
    for (int i = 0; i < kOutlinePoints; ++i) {
      const double rr = r0 + (r1 - r0) * i / (kOutlinePoints - 1);
      line.push_back({rr, spline.Value(rr)});
      largest = std::max(largest, std::abs(line.back().second));
    }
    if (largest == 0) continue;
    for (auto& p : line) p.second /= largest;
    out += Path(di, line, (std::string("fill=\"none\" stroke=\"") + c.colour + "\" stroke-width=\"1.5\"").c_str());
    const double x = kMargin + 2 * (kPanel + 2 * kMargin) + kPanel * 0.55, y = kMargin + kPanel - 8 - 15 * legend++;
    out += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" font-family=\"sans-serif\" font-size=\"11\" fill=\"" +
           c.colour + "\">" + Xml(std::string(c.name) + " / " + Significant(largest)) + "</text>\n";
  }
  return out + "</svg>\n";
}

}  // namespace

const std::vector<BladeFormat>& BladeFormats() {
  static const std::vector<BladeFormat> formats = {
      {"step", ".step", "the solids as STEP (AP214), with the length unit", true, WriteBladeStep},
      {"iges", ".iges", "the solids as IGES faces (B-rep), with the length unit", true, WriteBladeIges},
      {"stl", ".stl", "the solids as a binary STL within the STL tolerance of the faces", true, WriteBladeStl},
      {"csv", "-sections.csv", "the 3-D points of each table radius's section, back and face", false, WriteCsv},
      {"svg", ".svg", "the expanded and projected outlines and the radial distributions", false, WriteSvg},
  };
  return formats;
}

const BladeFormat& FindBladeFormat(std::string_view name) {
  std::string names;
  const std::vector<BladeFormat>& formats = BladeFormats();
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (name == formats[i].name) return formats[i];
    names += (i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + std::string(formats[i].name);
  }
  throw Error(ErrorKind::Usage, "unknown blade format '" + std::string(name) + "': use " + names);
}

std::string ExportBlade(const Blade& blade, std::string_view format, std::vector<SolidCheck>* solids) {
  return FindBladeFormat(format).write(blade, solids);
}

}  // namespace tarvelo
