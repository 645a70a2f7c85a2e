// Picture1, the display area: keeps the page the screens print and draw, and
// paints it. Everything shown is repainted from the page, so a covered window
// loses nothing. A screen longer than the area can be scrolled.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>
#include <QString>

#include "app/page_painter.h"
#include "screens/recording_display.h"

namespace tarvelo {

class PictureBox : public QAbstractScrollArea, public RecordingDisplay {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  void Cls() override;

  // The inner surface that Scale maps onto, in pixels.
  QSize surfaceSize() const;
  const PagePainter& painter() const { return painter_; }

  // The whole page as the area shows it, scrolled-out lines included.
  QImage renderImage() const;
  QString plainText() const { return PagePainter::plainText(page()); }

  // Actions of the window's own, offered in the context menu after a
  // separator; menuAboutToShow lets the window set their enabled state.
  void addMenuActions(const QList<QAction*>& actions) { windowActions_ += actions; }

  // Context menu actions; false when the file could not be written.
  void copyText() const;
  bool savePng(const QString& path) const;
  bool saveSvg(const QString& path) const;

 signals:
  void menuAboutToShow();

 protected:
  void pageChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void updateScrollRange();
  void saveAs(const QString& caption, const QString& filter, const QString& suffix,
              bool (PictureBox::*save)(const QString&) const);

  PagePainter painter_;
  QList<QAction*> windowActions_;
};

}  // namespace tarvelo
