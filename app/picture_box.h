// Picture1, the display area: keeps the page the screens print and draw, and
// paints it. Everything shown is repainted from the page, so a covered window
// loses nothing. A screen longer or wider than the area can be scrolled; a
// bar across takes its height from the lines, which close up so that the
// prompt on line 37 stays whole.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>
#include <QString>

#include "app/page_painter.h"
#include "screens/recording_display.h"

namespace tarvelo {

// What a PNG image may be here: PNG writing stops at a million rows or
// columns, and an image is painted whole in memory before it is written, so
// one is kept within a few hundred megabytes.
inline constexpr int kPngMostPixels = 1000000;
inline constexpr qint64 kPngMostBytes = qint64{256} << 20;

// Why an image of this size in pixels cannot be saved as PNG; empty when it
// can. Decided from the size alone, before anything is allocated.
QString PngRefusal(QSize size);

class PictureBox : public QAbstractScrollArea, public RecordingDisplay {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  void Cls() override;

  // The inner surface that Scale maps onto, in pixels.
  QSize surfaceSize() const;
  const PagePainter& painter() const { return painter_; }
  // The height of a text line as the area shows the page now. The scroll
  // bars follow what is printed once the event loop is back.
  int lineHeight() const { return lineHeight_; }

  // The whole page as the area shows it, scrolled-out lines included, and
  // its size in pixels.
  QImage renderImage() const;
  QSize imageSize() const;
  // What is in sight now, as large as the area's inner surface.
  QImage renderVisible() const;
  QString plainText() const { return PagePainter::plainText(page()); }

  // Actions of the window's own, offered in the context menu after a
  // separator; menuAboutToShow lets the window set their enabled state.
  void addMenuActions(const QList<QAction*>& actions) { windowActions_ += actions; }

  // Context menu actions; false when the file could not be written. A page
  // too large for a PNG image (PngRefusal) is not saved, and nothing of its
  // size is allocated; the part in sight can be.
  void copyText() const;
  bool savePng(const QString& path) const;
  bool saveVisiblePng(const QString& path) const;
  bool saveSvg(const QString& path) const;

 signals:
  void menuAboutToShow();

 protected:
  void pageChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Home and End, Ctrl+Home and Ctrl+End go to the first and the last line,
  // as Page Up and Page Down go a page.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void measureBars();
  void measureNewLines();
  // The lines' height and which bars the page needs, from the whole surface.
  void layOutLines();
  // The bars as layOutLines decided them.
  void setBars();
  void updateScrollRange();
  void saveAs(const QString& caption, const QString& filter, const QString& suffix,
              bool (PictureBox::*save)(const QString&) const);
  // "Save Screen as PNG…": the whole page, or, for one too large, the part
  // in sight when the user takes it instead.
  void savePngAs();

  PagePainter painter_;
  QList<QAction*> windowActions_;
  int lineHeight_ = 0;
  int wide_ = 0;   // the widest line in pixels
  int tall_ = 0;   // all lines in pixels
  int high_ = 0;   // the height left for them
  bool across_ = false, down_ = false;  // the bars the page needs
  bool barsDue_ = false;
  // The widest line of the page in characters, kept as lines are printed:
  // measuring the whole page at every line would make a long listing cost
  // the square of its length. measured_ lines have been looked at.
  qsizetype widest_ = 0;
  std::size_t measured_ = 0;
  // Lines of the whole page when it was last measured, and whether its last
  // line was open then.
  std::size_t measuredLines_ = 0;
  bool measuredOpen_ = false;
  // The scroll bars' thickness, which the style decides.
  int barAcross_ = 0;
  int barDown_ = 0;
};

}  // namespace tarvelo
