#include "screens/svg.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "foilio/xml_text.h"

namespace tarvelo {

namespace {

// The display area: inner size in twips, its background &H00E0E0E0, its
// Courier New 8.25 pt (165 twips) and 15 twips to a pixel.
constexpr double kAreaWidth = 6345;
constexpr double kAreaHeight = 7860;
constexpr double kFontSize = 165;
constexpr double kPixel = 15;
constexpr int kAreaLines = 37;
// Baseline of a text line, as a fraction of the line height from its top.
constexpr double kBaseline = 0.8;

struct Frame {
  double x = 0, y = 0, w = kAreaWidth, h = kAreaHeight;
  bool flipX = false, flipY = false;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the scale as set, for the mirror
};

Frame FrameOf(const UserScale& sc) {
  Frame f;
  const double w = std::fabs(static_cast<double>(sc.x2) - sc.x1);
  const double h = std::fabs(static_cast<double>(sc.y2) - sc.y1);
  if (!sc.set || !std::isfinite(w) || !std::isfinite(h) || w == 0 || h == 0) return f;
  f.x = std::fmin(sc.x1, sc.x2);
  f.y = std::fmin(sc.y1, sc.y2);
  f.w = w;
  f.h = h;
  f.flipX = sc.x2 < sc.x1;
  f.flipY = sc.y2 < sc.y1;
  f.x1 = sc.x1;
  f.y1 = sc.y1;
  f.x2 = sc.x2;
  f.y2 = sc.y2;
  return f;
}

// Shortest text that reads back as the same float: 6806.9, not 6806.89990234.
void Num(std::string& out, float v) {
  std::array<char, 64> buf{};
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  out.append(buf.data(), res.ptr);
}

// Derived sizes: three decimals are far below a pixel.
void Num(std::string& out, double v) { AppendDecimal(out, v, 3); }

// A float (a recorded coordinate) and a double (a derived size) keep their own Num.
template <class T>
void Attr(std::string& out, const char* name, T v) {
  out += ' ';
  out += name;
  out += "=\"";
  Num(out, v);
  out += '"';
}

// &H00BBGGRR to #rrggbb.
std::string Hex(Color c) {
  std::string s = "#";
  for (int shift : {0, 8, 16}) HexByte(s, (c >> shift) & 0xFFu);
  return s;
}

}  // namespace

namespace {

bool Blank(const TextLine& line) {
  for (const TextRun& r : line.runs)
    if (r.text.find_first_not_of(' ') != std::string::npos) return false;
  return true;
}

void Texts(std::string& out, const Page& page, const Frame& f) {
  const double lh = f.h / kAreaLines;
  out += "<g font-family=\"'Courier New', 'Liberation Mono', monospace\"";
  Attr(out, "font-size", kFontSize * f.h / kAreaHeight);
  out += " xml:space=\"preserve\" style=\"white-space:pre\">\n";
  for (std::size_t n = 0; n < page.size(); ++n) {
    const TextLine line = page.line(n);
    if (Blank(line)) continue;  // nothing to see on it
    out += "<text";
    Attr(out, "x", f.x);
    Attr(out, "y", f.y + (static_cast<double>(n) + kBaseline) * lh);
    out += '>';
    for (const TextRun& r : line.runs) {
      out += "<tspan fill=\"" + Hex(r.color) + '"';
      if (r.bold) out += " font-weight=\"bold\"";
      out += '>';
      AppendXmlText(out, r.text);
      out += "</tspan>";
    }
    out += "</text>\n";
  }
  out += "</g>\n";
}

bool Finite(float v) { return std::isfinite(v); }

void Stroke(std::string& out, Color c, double px) {
  out += " fill=\"none\" stroke=\"" + Hex(c) + '"';
  Attr(out, "stroke-width", px);
}

void Shapes(std::string& out, const Page& page, const Frame& f) {
  const double px = kPixel * f.h / kAreaHeight;
  out += "<g";
  if (f.flipX || f.flipY) {
    // Mirror so that (x1, y1) of the scale lands in the top-left corner.
    out += " transform=\"matrix(";
    Num(out, f.flipX ? -1.0 : 1.0);
    out += " 0 0 ";
    Num(out, f.flipY ? -1.0 : 1.0);
    out += ' ';
    Num(out, f.flipX ? static_cast<double>(f.x1) + f.x2 : 0.0);
    out += ' ';
    Num(out, f.flipY ? static_cast<double>(f.y1) + f.y2 : 0.0);
    out += ")\"";
  }
  out += ">\n";

  // Line -(x, y) continues from the last point drawn, so a run of lines that
  // join end to start in one colour is one polyline.
  bool open = false;
  Color openColor = kBlack;
  float lastX = 0, lastY = 0;
  auto close = [&] {
    if (!open) return;
    out += "\"";
    Stroke(out, openColor, px);
    out += "/>\n";
    open = false;
  };

  for (const Shape& s : page.shapes) {
    switch (s.kind) {
      case Shape::Kind::Point:
        close();
        if (!Finite(s.x1) || !Finite(s.y1)) break;
        out += "<rect";
        Attr(out, "x", s.x1 - px / 2);
        Attr(out, "y", s.y1 - px / 2);
        Attr(out, "width", px);
        Attr(out, "height", px);
        out += " fill=\"" + Hex(s.color) + "\"/>\n";
        break;
      case Shape::Kind::Line:
        if (!Finite(s.x1) || !Finite(s.y1) || !Finite(s.x2) || !Finite(s.y2)) {
          close();
          break;
        }
        if (!(open && s.color == openColor && s.x1 == lastX && s.y1 == lastY)) {
          close();
          out += "<polyline points=\"";
          Num(out, s.x1);
          out += ',';
          Num(out, s.y1);
          open = true;
          openColor = s.color;
        }
        out += ' ';
        Num(out, s.x2);
        out += ',';
        Num(out, s.y2);
        lastX = s.x2;
        lastY = s.y2;
        break;
      case Shape::Kind::Circle:
        close();
        if (!Finite(s.x1) || !Finite(s.y1) || !Finite(s.r)) break;
        out += "<circle";
        Attr(out, "cx", s.x1);
        Attr(out, "cy", s.y1);
        Attr(out, "r", std::fabs(s.r));
        Stroke(out, s.color, px);
        out += "/>\n";
        break;
    }
  }
  close();
  out += "</g>\n";
}

}  // namespace

std::string PageToSvg(const Page& page) {
  const Frame f = FrameOf(page.scale);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
  // The area's size on screen, whatever units the drawing used.
  Attr(out, "width", kAreaWidth / kPixel);
  Attr(out, "height", kAreaHeight / kPixel);
  out += " viewBox=\"";
  Num(out, f.x);
  out += ' ';
  Num(out, f.y);
  out += ' ';
  Num(out, f.w);
  out += ' ';
  Num(out, f.h);
  out += "\">\n";
  out += "<rect";
  Attr(out, "x", f.x);
  Attr(out, "y", f.y);
  Attr(out, "width", f.w);
  Attr(out, "height", f.h);
  out += " fill=\"" + Hex(0xE0E0E0) + "\"/>\n";
  Texts(out, page, f);
  Shapes(out, page, f);
  out += "</svg>\n";
  return out;
}

}  // namespace tarvelo
