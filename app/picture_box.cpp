#include "app/picture_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "screens/svg.h"

namespace tarvelo {

namespace {

bool WritePng(const QImage& image, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (image.isNull() || !image.save(&file, "PNG")) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace

QString PngRefusal(QSize size) {
  const qint64 bytes = qint64{size.width()} * size.height() * 4;  // 32 bits a pixel
  if (size.height() > kPngMostPixels)
    return QStringLiteral("The screen is %1 pixels high: a PNG image holds at most %2 rows.")
        .arg(size.height())
        .arg(kPngMostPixels);
  if (size.width() > kPngMostPixels)
    return QStringLiteral("The screen is %1 pixels wide: a PNG image holds at most %2 columns.")
        .arg(size.width())
        .arg(kPngMostPixels);
  if (bytes > kPngMostBytes)
    return QStringLiteral("The screen is %1 x %2 pixels: its image would take %3 MB, more than the %4 MB "
                          "an image may take here.")
        .arg(size.width())
        .arg(size.height())
        .arg((bytes + (1 << 20) - 1) >> 20)
        .arg(kPngMostBytes >> 20);
  return {};
}

PictureBox::PictureBox(QWidget* parent) : QAbstractScrollArea(parent) {
  // A sunken two-pixel border, like the picture box the screens were laid out
  // for: 6400 x 7920 twips outside, 6345 x 7860 inside.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setFont(painter_.font());
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Window, ToQColor(kAreaBackground));
  pal.setColor(QPalette::Base, ToQColor(kAreaBackground));
  viewport()->setPalette(pal);
  viewport()->setAutoFillBackground(true);
  lineHeight_ = painter_.lineHeight();
  measureBars();
  // Only the rows in sight are made; copying and saving make them all.
  keepRowsLazily(true);
}

QSize PictureBox::surfaceSize() const {
  const int fw = frameWidth();
  return QSize(width() - 2 * fw, height() - 2 * fw);
}

void PictureBox::Cls() {
  widest_ = 0;
  measured_ = 0;
  measuredLines_ = std::numeric_limits<std::size_t>::max();  // laid out anew
  RecordingDisplay::Cls();
  // A new screen starts at its top left.
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
}

void PictureBox::pageChanged() {
  // A shape drawn changes neither the lines nor the bars: the graphic of a
  // million points draws two million circles.
  if (page().size() != measuredLines_ || page().lastLineOpen || measuredOpen_) {
    measureNewLines();
    layOutLines();
  }
  // The bars follow once the screen is printed, not at every line: a change
  // of their range posts an event, and a long listing would post one a line.
  if (!barsDue_) {
    barsDue_ = true;
    QMetaObject::invokeMethod(this, &PictureBox::setBars, Qt::QueuedConnection);
  }
  viewport()->update();
}

void PictureBox::measureNewLines() {
  const std::vector<TextLine>& lines = page().lines;
  if (lines.size() < measured_) {
    widest_ = 0;
    measured_ = 0;
  }
  // The last line looked at may have grown since: a print kept it open.
  for (std::size_t i = measured_ > 0 ? measured_ - 1 : 0; i < lines.size(); ++i)
    widest_ = std::max(widest_, PagePainter::columns(lines[i]));
  measured_ = lines.size();
  if (page().lazy) widest_ = std::max(widest_, static_cast<qsizetype>(page().lazy->rows.widest));
  measuredLines_ = page().size();
  measuredOpen_ = page().lastLineOpen;
}

void PictureBox::layOutLines() {
  // A bar appears only when the screen holds more lines than fit, or a line
  // wider than the area (a long path or ID line). The bars are decided here,
  // from the whole surface, rather than by the area: the lines' height
  // depends on whether a bar across is shown.
  const QSize room = surfaceSize();
  wide_ = painter_.widthOf(widest_);
  const auto lines = static_cast<qint64>(page().size());
  across_ = wide_ > room.width();
  high_ = room.height() - (across_ ? barAcross_ : 0);
  lineHeight_ = painter_.lineHeightFor(high_);
  down_ = lines * lineHeight_ > high_;
  if (down_ && !across_ && wide_ > room.width() - barDown_) {
    across_ = true;
    high_ -= barAcross_;
    lineHeight_ = painter_.lineHeightFor(high_);
  }
  tall_ = static_cast<int>(std::min<qint64>(lines * lineHeight_, std::numeric_limits<int>::max()));
}

void PictureBox::setBars() {
  barsDue_ = false;
  const auto policy = [](bool shown) {
    return shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  };
  if (verticalScrollBarPolicy() != policy(down_)) setVerticalScrollBarPolicy(policy(down_));
  if (horizontalScrollBarPolicy() != policy(across_)) setHorizontalScrollBarPolicy(policy(across_));
  QScrollBar* down = verticalScrollBar();
  down->setPageStep(high_);
  down->setSingleStep(lineHeight_);
  down->setRange(0, std::max(0, tall_ - high_));
  const int width = surfaceSize().width() - (down_ ? barDown_ : 0);
  QScrollBar* across = horizontalScrollBar();
  across->setPageStep(width);
  across->setSingleStep(std::max(1, static_cast<int>(painter_.charWidth())));
  across->setRange(0, std::max(0, wide_ - width));
}

void PictureBox::updateScrollRange() {
  layOutLines();
  setBars();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

void PictureBox::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::StyleChange) measureBars();
}

void PictureBox::measureBars() {
  // As the area lays its bars out.
  barAcross_ = horizontalScrollBar()->sizeHint().height();
  barDown_ = verticalScrollBar()->sizeHint().width();
  updateScrollRange();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const int left = horizontalScrollBar()->value(), top = verticalScrollBar()->value();
  p.translate(-left, -top);
  painter_.paint(p, page(), surfaceSize(), lineHeight_, top, top + viewport()->height());
}

QSize PictureBox::imageSize() const {
  const QSize surface = surfaceSize();
  return QSize(std::max(surface.width(), painter_.textWidth(page())),
               std::max(surface.height(), painter_.textHeight(page())));
}

QImage PictureBox::renderImage() const {
  QImage image(imageSize(), QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.fill(ToQColor(kAreaBackground));
  QPainter p(&image);
  painter_.paint(p, page(), surfaceSize());
  return image;
}

QImage PictureBox::renderVisible() const {
  const QSize surface = surfaceSize();
  QImage image(surface, QImage::Format_RGB32);
  image.fill(ToQColor(kAreaBackground));
  QPainter p(&image);
  const int left = horizontalScrollBar()->value(), top = verticalScrollBar()->value();
  p.translate(-left, -top);
  painter_.paint(p, page(), surface, lineHeight_, top, top + surface.height());
  return image;
}

void PictureBox::copyText() const { QApplication::clipboard()->setText(plainText()); }

bool PictureBox::savePng(const QString& path) const {
  if (!PngRefusal(imageSize()).isEmpty()) return false;
  return WritePng(renderImage(), path);
}

bool PictureBox::saveVisiblePng(const QString& path) const { return WritePng(renderVisible(), path); }

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

void PictureBox::savePngAs() {
  const QString refusal = PngRefusal(imageSize());
  if (refusal.isEmpty()) {
    saveAs(tr("Save Screen as PNG"), tr("PNG images (*.png)"), QStringLiteral(".png"), &PictureBox::savePng);
    return;
  }
  // Said before a name is asked for: nothing of the page's size is made.
  QMessageBox box(QMessageBox::Warning, window()->windowTitle(), refusal, QMessageBox::Cancel, this);
  box.setObjectName(QStringLiteral("PngRefusal"));
  box.setInformativeText(tr("The page in sight can be saved instead."));
  QPushButton* visible = box.addButton(QStringLiteral(u"Save Visible Page\u2026"), QMessageBox::AcceptRole);
  box.setDefaultButton(visible);
  box.exec();
  if (box.clickedButton() != visible) return;
  saveAs(tr("Save Visible Page as PNG"), tr("PNG images (*.png)"), QStringLiteral(".png"),
         &PictureBox::saveVisiblePng);
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  QScrollBar* down = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_Home:
      down->setValue(down->minimum());
      horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
      return;
    case Qt::Key_End:
      down->setValue(down->maximum());
      return;
    default:
      QAbstractScrollArea::keyPressEvent(event);
  }
}

void PictureBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("Copy Text"));
  QAction* png = menu.addAction(QStringLiteral(u"Save Screen as PNG\u2026"));
  QAction* svg = menu.addAction(QStringLiteral(u"Save Graphic as SVG\u2026"));
  copy->setEnabled(page().size() > 0);
  svg->setEnabled(!page().shapes.empty());
  if (!windowActions_.isEmpty()) {
    emit menuAboutToShow();
    menu.addSeparator();
    menu.addActions(windowActions_);
  }
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == copy) copyText();
  if (chosen == png) savePngAs();
  if (chosen == svg)
    saveAs(tr("Save Graphic as SVG"), tr("SVG drawings (*.svg)"), QStringLiteral(".svg"),
           &PictureBox::saveSvg);
}

}  // namespace tarvelo
