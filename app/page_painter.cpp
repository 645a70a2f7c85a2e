#include "app/page_painter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

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

}  // namespace

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
  return static_cast<int>(page.lines.size()) * lineHeight_;
}

int PagePainter::textWidth(const Page& page) const {
  qsizetype longest = 0;
  for (const TextLine& line : page.lines) longest = std::max(longest, columns(line));
  return widthOf(longest);
}

qsizetype PagePainter::columns(const TextLine& line) { return DecodeText(line.text()).size(); }

int PagePainter::widthOf(qsizetype columns) const {
  return static_cast<int>(std::ceil(static_cast<double>(columns) * charWidth_));
}

void PagePainter::paint(QPainter& p, const Page& page, QSize surface) const {
  const int height = static_cast<int>(std::min<qint64>(
      static_cast<qint64>(page.lines.size()) * lineHeight_, std::numeric_limits<int>::max()));
  paint(p, page, surface, lineHeight_, 0, std::max(height, surface.height()));
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
      std::min(page.lines.size(), static_cast<std::size_t>(std::max(0, bottom / lineHeight)) + 1);
  for (std::size_t i = first; i < end; ++i) {
    const int lineTop = static_cast<int>(i) * lineHeight;
    const TextLine& line = page.lines[i];
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
  for (const Shape& s : page.shapes) {
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
  for (const TextLine& line : page.lines) {
    out += DecodeText(line.text());
    out += QLatin1Char('\n');
  }
  return out;
}

}  // namespace tarvelo
