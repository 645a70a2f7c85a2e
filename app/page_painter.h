// Paints a page of the display area: its text lines in the fixed-pitch font,
// its points, lines and circles mapped from the user coordinate system. The
// window's display area and the PNG export both paint through here, so what is
// saved is what is seen.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>
#include <string>
#include <vector>

#include "screens/recording_display.h"

class QPainter;

namespace tarvelo {

// Window geometry is given in twips; the window is laid out at 96 dots per
// inch, 15 twips to the pixel.
inline constexpr int kTwipsPerPixel = 15;

// 8.25 pt at 96 dots per inch. Fonts are sized in pixels so that the text
// fits the controls whatever the screen's reported resolution.
inline constexpr int kFontPixels = 11;

// The display area's inner surface, 6345 x 7860 twips, is laid out for 37
// text lines; they are spread over its height unless the font needs more.
inline constexpr int kSurfaceWidth = 423;
inline constexpr int kSurfaceHeight = 524;
inline constexpr int kLayoutLines = 37;

// The display area's background, &H00E0E0E0.
inline constexpr Color kAreaBackground = 0xE0E0E0;

QColor ToQColor(Color c);

// Courier New where installed, else Liberation Mono, which has its metrics,
// else the platform's fixed-pitch font.
QFont DisplayFont();

// Page text is 8-bit: shown as UTF-8 when it is valid UTF-8, else as Latin-1.
QString DecodeText(const std::string& bytes);

// The position on a surface of the given size in pixels of the user
// coordinates (x, y). Without a Scale the units are twips from the top-left.
QPoint ToSurface(const UserScale& scale, QSize surface, float x, float y);
// The same position without rounding to a pixel.
QPointF ToSurfaceF(const UserScale& scale, QSize surface, float x, float y);
// A circle's radius, given in horizontal user units, in pixels.
double RadiusToSurface(const UserScale& scale, QSize surface, float r);

// The page's circles that a circle drawn later at the same place on a surface
// of this size covers whole: drawing them would change no pixel. A million
// data points land on a few thousand pixels. Smooth drawing (fine) places
// them to a quarter of a pixel.
std::vector<bool> HiddenCircles(const Page& page, QSize surface, bool fine);

class PagePainter {
 public:
  explicit PagePainter(const QFont& font = DisplayFont());

  const QFont& font() const { return font_; }
  // The height of a line on the whole surface: the 37 lines spread over it.
  int lineHeight() const { return lineHeight_; }
  // The height of a line when only `height` pixels are left for the 37, as
  // under a scroll bar; never less than the font needs.
  int lineHeightFor(int height) const;
  double charWidth() const { return charWidth_; }
  // Whole lines that fit into a height.
  int linesThatFit(int height) const;
  // Height of the page's text lines, and width of its longest.
  int textHeight(const Page& page) const;
  int textWidth(const Page& page) const;
  // Characters a line shows, and the width of that many.
  static qsizetype columns(const TextLine& line);
  int widthOf(qsizetype columns) const;

  // Paints the page with the surface's top-left at the painter's origin; the
  // background is the caller's.
  void paint(QPainter& p, const Page& page, QSize surface) const;
  // The same with lines of the given height, painting only the lines that
  // reach into the band from y = top to y = bottom.
  void paint(QPainter& p, const Page& page, QSize surface, int lineHeight, int top,
             int bottom) const;

  // The page's lines as plain text, one per line.
  static QString plainText(const Page& page);

 private:
  QFont font_;
  QFont boldFont_;
  int lineHeight_ = 0;
  int lineSpacing_ = 0;  // what the font needs
  int ascent_ = 0;
  double charWidth_ = 0;
};

}  // namespace tarvelo
