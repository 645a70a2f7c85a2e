#include "app/picture_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <algorithm>

#include "screens/svg.h"

namespace tarvelo {

PictureBox::PictureBox(QWidget* parent) : QAbstractScrollArea(parent) {
  // A sunken two-pixel border, like the picture box the screens were laid out
  // for: 6400 x 7920 twips outside, 6345 x 7860 inside.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFocusPolicy(Qt::StrongFocus);
  setFont(painter_.font());
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Window, ToQColor(kAreaBackground));
  pal.setColor(QPalette::Base, ToQColor(kAreaBackground));
  viewport()->setPalette(pal);
  viewport()->setAutoFillBackground(true);
  verticalScrollBar()->setSingleStep(painter_.lineHeight());
}

QSize PictureBox::surfaceSize() const {
  const int fw = frameWidth();
  return QSize(width() - 2 * fw, height() - 2 * fw);
}

void PictureBox::Cls() {
  RecordingDisplay::Cls();
  // A new screen starts at its top left.
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
}

void PictureBox::pageChanged() {
  updateScrollRange();
  viewport()->update();
}

void PictureBox::updateScrollRange() {
  // A bar appears only when the screen holds more lines than fit, or a line
  // wider than the area (a long path in an error line).
  const int high = viewport()->height();
  QScrollBar* down = verticalScrollBar();
  down->setPageStep(high);
  down->setRange(0, std::max(0, painter_.textHeight(page()) - high));
  const int wide = viewport()->width();
  QScrollBar* across = horizontalScrollBar();
  across->setPageStep(wide);
  across->setSingleStep(std::max(1, static_cast<int>(painter_.charWidth())));
  across->setRange(0, std::max(0, painter_.textWidth(page()) - wide));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  painter_.paint(p, page(), surfaceSize());
}

QImage PictureBox::renderImage() const {
  const QSize surface = surfaceSize();
  QImage image(std::max(surface.width(), painter_.textWidth(page())),
               std::max(surface.height(), painter_.textHeight(page())), QImage::Format_RGB32);
  image.fill(ToQColor(kAreaBackground));
  QPainter p(&image);
  painter_.paint(p, page(), surface);
  return image;
}

void PictureBox::copyText() const { QApplication::clipboard()->setText(plainText()); }

bool PictureBox::savePng(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!renderImage().save(&file, "PNG")) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

bool PictureBox::saveSvg(const QString& path) const {
  const std::string svg = PageToSvg(page());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(svg.data(), static_cast<qint64>(svg.size())) != static_cast<qint64>(svg.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void PictureBox::saveAs(const QString& caption, const QString& filter, const QString& suffix,
                        bool (PictureBox::*save)(const QString&) const) {
  QString path = QFileDialog::getSaveFileName(this, caption, QString(), filter);
  if (path.isEmpty()) return;
  if (!path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
  if (!(this->*save)(path)) {
    // Same wording as the program's other file messages.
    QMessageBox::warning(this, window()->windowTitle(),
                         QStringLiteral("  %1 - File could not be written !! ").arg(path));
  }
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("Copy Text"));
  QAction* png = menu.addAction(tr("Save Screen as PNG..."));
  QAction* svg = menu.addAction(tr("Save Graphic as SVG..."));
  copy->setEnabled(!page().lines.empty());
  svg->setEnabled(!page().shapes.empty());
  if (!windowActions_.isEmpty()) {
    emit menuAboutToShow();
    menu.addSeparator();
    menu.addActions(windowActions_);
  }
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == copy) copyText();
  if (chosen == png)
    saveAs(tr("Save Screen as PNG"), tr("PNG images (*.png)"), QStringLiteral(".png"),
           &PictureBox::savePng);
  if (chosen == svg)
    saveAs(tr("Save Graphic as SVG"), tr("SVG drawings (*.svg)"), QStringLiteral(".svg"),
           &PictureBox::saveSvg);
}

}  // namespace tarvelo
