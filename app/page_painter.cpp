#include "app/page_painter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

#include "foilio/text_bytes.h"

namespace tarvelo {

namespace {

// Pixel coordinates are kept well inside int so that a wild user coordinate
// (a degenerate Scale, an unfitted curve) is drawn off the area, not cast out
// of range.
constexpr double kFarAway = 1.0e6;

double OnArea(double v) {
  if (!(v > -kFarAway)) return -kFarAway;  // NaN goes off the area too
  return v > kFarAway ? kFarAway : v;
}

int ToPixel(double v) { return static_cast<int>(std::floor(OnArea(v))); }

// Pixels per user unit along one axis and the user coordinate of the
// surface's first pixel.
struct Axis {
  double origin;
  double pixelsPerUnit;
};

Axis XAxis(const UserScale& scale, QSize surface) {
  if (!scale.set) return {0.0, 1.0 / kTwipsPerPixel};
  return {scale.x1, surface.width() / (static_cast<double>(scale.x2) - scale.x1)};
}

Axis YAxis(const UserScale& scale, QSize surface) {
  if (!scale.set) return {0.0, 1.0 / kTwipsPerPixel};
  return {scale.y1, surface.height() / (static_cast<double>(scale.y2) - scale.y1)};
}

QString Decode(const std::string& bytes, bool utf8) {
  const auto n = static_cast<qsizetype>(bytes.size());
  return utf8 ? QString::fromUtf8(bytes.data(), n) : QString::fromLatin1(bytes.data(), n);
}

// Where a circle lands on the surface: its centre (in whole pixels, or in
// quarters of a pixel when drawn smooth) and its radius.
struct CirclePlace {
  qint64 x, y;
  double r;
  bool operator==(const CirclePlace&) const = default;
};

struct CirclePlaceHash {
  std::size_t operator()(const CirclePlace& c) const {
    return std::hash<qint64>()(c.x * 1000003 + c.y) ^ std::hash<double>()(c.r);
  }
};

}  // namespace

std::vector<bool> HiddenCircles(const Page& page, QSize surface, bool fine) {
  std::vector<bool> hidden(page.shapes.size(), false);
  std::unordered_map<CirclePlace, std::size_t, CirclePlaceHash> last;
  const auto place = [&](const Shape& s) {
    const double r = RadiusToSurface(page.scale, surface, s.r);
    if (fine) {
      const QPointF c = ToSurfaceF(page.scale, surface, s.x1, s.y1);
      return CirclePlace{qRound64(c.x() * 4), qRound64(c.y() * 4), r};
    }
    const QPoint c = ToSurface(page.scale, surface, s.x1, s.y1);
    return CirclePlace{c.x(), c.y(), r};
  };
  // From the last shape back: a circle drawn again later at the same place
  // covers every pixel of this one, whatever its colour.
  for (std::size_t n = page.shapes.size(); n-- > 0;) {
    const Shape& s = page.shapes[n];
    if (s.kind != Shape::Kind::Circle) continue;
    if (!last.try_emplace(place(s), n).second) hidden[n] = true;
  }
  return hidden;
}

QColor ToQColor(Color c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

QFont DisplayFont() {
  QFont f;
  const QStringList families = QFontDatabase::families();
  if (families.contains(QStringLiteral("Courier New")))
    f = QFont(QStringLiteral("Courier New"));
  else if (families.contains(QStringLiteral("Liberation Mono")))
    f = QFont(QStringLiteral("Liberation Mono"));
  else
    f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  f.setPixelSize(kFontPixels);
  f.setBold(false);
  return f;
}

QString DecodeText(const std::string& bytes) { return Decode(bytes, IsUtf8(bytes)); }

QPoint ToSurface(const UserScale& scale, QSize surface, float x, float y) {
  const Axis ax = XAxis(scale, surface);
  const Axis ay = YAxis(scale, surface);
  return QPoint(ToPixel((x - ax.origin) * ax.pixelsPerUnit),
                ToPixel((y - ay.origin) * ay.pixelsPerUnit));
}

QPointF ToSurfaceF(const UserScale& scale, QSize surface, float x, float y) {
  const Axis ax = XAxis(scale, surface);
  const Axis ay = YAxis(scale, surface);
  return QPointF(OnArea((x - ax.origin) * ax.pixelsPerUnit), OnArea((y - ay.origin) * ay.pixelsPerUnit));
}

double RadiusToSurface(const UserScale& scale, QSize surface, float r) {
  const double px = std::fabs(r * XAxis(scale, surface).pixelsPerUnit);
  if (std::isnan(px)) return 0;
  return px < kFarAway ? px : kFarAway;
}

PagePainter::PagePainter(const QFont& font) : font_(font), boldFont_(font) {
  boldFont_.setBold(true);
  const QFontMetrics m(font_);
  lineSpacing_ = m.lineSpacing();
  ascent_ = m.ascent();
  lineHeight_ = lineHeightFor(kSurfaceHeight);
  charWidth_ = QFontMetricsF(font_).horizontalAdvance(QLatin1Char('0'));
}

int PagePainter::lineHeightFor(int height) const {
  return std::max(lineSpacing_, height / kLayoutLines);
}

int PagePainter::linesThatFit(int height) const {
  return lineHeight_ > 0 ? height / lineHeight_ : 0;
}

int PagePainter::textHeight(const Page& page) const {
  return static_cast<int>(std::min<qint64>(static_cast<qint64>(page.size()) * lineHeight_,
                                           std::numeric_limits<int>::max()));
}

int PagePainter::textWidth(const Page& page) const {
  qsizetype longest = page.lazy ? static_cast<qsizetype>(page.lazy->rows.widest) : 0;
  for (const TextLine& line : page.lines) longest = std::max(longest, columns(line));
  return widthOf(longest);
}

qsizetype PagePainter::columns(const TextLine& line) { return DecodeText(line.text()).size(); }

int PagePainter::widthOf(qsizetype columns) const {
  return static_cast<int>(std::ceil(static_cast<double>(columns) * charWidth_));
}

void PagePainter::paint(QPainter& p, const Page& page, QSize surface) const {
  paint(p, page, surface, lineHeight_, 0, std::max(textHeight(page), surface.height()));
}

void PagePainter::paint(QPainter& p, const Page& page, QSize surface, int lineHeight, int top,
                        int bottom) const {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  // Text first: the screens print before they draw. A long listing has most
  // of its lines out of sight; only those in the band are laid out.
  const int baseline = (lineHeight - lineSpacing_) / 2 + ascent_;
  const std::size_t first = static_cast<std::size_t>(std::max(0, top / lineHeight));
  const std::size_t end =
      std::min(page.size(), static_cast<std::size_t>(std::max(0, bottom / lineHeight)) + 1);
  for (std::size_t i = first; i < end; ++i) {
    const int lineTop = static_cast<int>(i) * lineHeight;
    const TextLine line = page.line(i);
    // The whole line decides the decoding, so that its runs agree.
    const bool utf8 = IsUtf8(line.text());
    qsizetype column = 0;
    for (const TextRun& run : line.runs) {
      const QString text = Decode(run.text, utf8);
      p.setFont(run.bold ? boldFont_ : font_);
      p.setPen(ToQColor(run.color));
      // Each run starts at its column, so a glyph of another width cannot
      // shift the columns after it.
      p.drawText(QPointF(static_cast<double>(column) * charWidth_, lineTop + baseline), text);
      column += text.size();
    }
  }

  // Where a pixel of the layout is several device pixels (a scale factor of
  // 2), the drawing is placed and smoothed at device resolution, one layout
  // pixel wide, as the text beside it is; otherwise on whole pixels, crisp.
  const bool fine = p.device() != nullptr && p.device()->devicePixelRatioF() > 1;
  p.setRenderHint(QPainter::Antialiasing, fine);
  const auto at = [&](float x, float y) {
    return fine ? ToSurfaceF(page.scale, surface, x, y)
                : QPointF(ToSurface(page.scale, surface, x, y));
  };
  const std::vector<bool> hidden = HiddenCircles(page, surface, fine);
  for (std::size_t n = 0; n < page.shapes.size(); ++n) {
    const Shape& s = page.shapes[n];
    if (hidden[n]) continue;
    QPen pen(ToQColor(s.color));
    if (fine)
      pen.setWidthF(1.0);
    else
      pen.setWidth(0);  // one pixel, whatever the transformation
    pen.setStyle(Qt::SolidLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF a = at(s.x1, s.y1);
    switch (s.kind) {
      case Shape::Kind::Point:
        p.drawPoint(a);
        break;
      case Shape::Kind::Line:
        p.drawLine(a, at(s.x2, s.y2));
        break;
      case Shape::Kind::Circle: {
        const double r = RadiusToSurface(page.scale, surface, s.r);
        p.drawEllipse(fine ? a : a + QPointF(0.5, 0.5), r, r);
        break;
      }
    }
  }
  p.restore();
}

QString PagePainter::plainText(const Page& page) {
  QString out;
  for (std::size_t n = 0; n < page.size(); ++n) {
    out += DecodeText(page.line(n).text());
    out += QLatin1Char('\n');
  }
  return out;
}

}  // namespace tarvelo
