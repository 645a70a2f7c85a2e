// The README's pictures of the window, made without a display.
//
//   window_pictures make DIR OUT     picks DIR/naca2412.dat in the window's
//                                    file list, presses Start and saves the
//                                    window as OUT/window.png, then the
//                                    graphic screen as OUT/graphic.png
//   window_pictures compare A B      exit 0 when the two pictures show the
//                                    same pixels, within kTolerance per channel
//
// Pixels are compared, not bytes: a PNG's bytes change with the encoder and
// what it records of itself, while the same fonts and style give the same
// pixels. The small tolerance takes in rounding of smoothed edges; a moved
// glyph, a changed word or colour, or a curve drawn elsewhere exceeds it.
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QStyleFactory>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>

#include "app/window.h"

namespace {

constexpr int kTolerance = 8;

int Usage() {
  QTextStream(stderr) << "usage: window_pictures make DIR OUT | compare A B\n";
  return 2;
}

bool Save(QWidget& w, const QString& path) {
  QApplication::processEvents();
  if (w.grab().save(path, "PNG")) return true;
  QTextStream(stderr) << "window_pictures: " << path << " could not be written\n";
  return false;
}

int Make(const QString& dir, const QString& out) {
  tarvelo::Window w;
  // One drive, whatever this machine mounts: the picture is the same
  // everywhere.
  w.findChild<tarvelo::DriveList*>(QStringLiteral("Drive1"))->setDrives({QStringLiteral("/")});
  w.show();
  if (!w.openDataFile(dir + QStringLiteral("/naca2412.dat"))) {
    QTextStream(stderr) << "window_pictures: " << dir << "/naca2412.dat could not be taken\n";
    return 1;
  }
  w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
  if (!Save(w, out + QStringLiteral("/window.png"))) return 1;
  auto* next = w.findChild<QPushButton*>(QStringLiteral("Command3"));
  for (int press = 0; press < 3; ++press) next->click();
  return Save(w, out + QStringLiteral("/graphic.png")) ? 0 : 1;
}

int Compare(const QString& a, const QString& b) {
  const QImage x = QImage(a).convertToFormat(QImage::Format_RGB32);
  const QImage y = QImage(b).convertToFormat(QImage::Format_RGB32);
  if (x.isNull() || y.isNull()) {
    QTextStream(stderr) << (x.isNull() ? a : b) << ": not a picture that can be read\n";
    return 1;
  }
  if (x.size() != y.size()) {
    QTextStream(stderr) << b << ": " << y.width() << " x " << y.height() << " pixels, not "
                        << x.width() << " x " << x.height() << "\n";
    return 1;
  }
  long differing = 0;
  int largest = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col) {
      const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])),
                              std::abs(qGreen(p[col]) - qGreen(q[col])),
                              std::abs(qBlue(p[col]) - qBlue(q[col]))});
      largest = std::max(largest, d);
      differing += d > kTolerance;
    }
  }
  if (differing == 0) return 0;
  QTextStream(stderr) << b << ": " << differing << " pixels differ from " << a
                      << " by more than " << kTolerance << " (up to " << largest << ")\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QStringList args = QApplication::arguments();
  if (args.size() != 4) return Usage();
  if (args[1] == QLatin1String("make")) return Make(args[2], args[3]);
  if (args[1] == QLatin1String("compare")) return Compare(args[2], args[3]);
  return Usage();
}
