// The display area: how it decodes, scrolls, copies and saves; the whole road
// of a run as the user sees it, and the window rendered to PNG.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

#include "app_test_support.h"
#include "screens/screens.h"
#include "screens/svg.h"

namespace tarvelo::test {

namespace {

bool IsBlue(QColor c) { return c.blue() > 150 && c.red() < 120 && c.green() < 120; }

// Whether any pixel of text line n (from 1) of the display area is blue.
bool BlueInLine(const QImage& img, PictureBox& pic, int n) {
  const int h = pic.painter().lineHeight();
  const QPoint origin = pic.viewport()->mapTo(pic.window(), QPoint(0, (n - 1) * h));
  for (int y = origin.y(); y < origin.y() + h; ++y)
    for (int x = origin.x(); x < origin.x() + pic.surfaceSize().width(); ++x)
      if (IsBlue(img.pixelColor(x, y))) return true;
  return false;
}

// A copy of an example in a fresh directory, picked in the file list.
struct Picked {
  TempDir dir;
  std::unique_ptr<Window> w;
  std::string data;
};

std::unique_ptr<Picked> PickExample(const std::string& example) {
  auto p = std::make_unique<Picked>();
  p->data = p->dir.file(example);
  WriteBytes(p->data, ReadBytes(ExamplePath(example)));
  p->w = OpenWindow(p->dir.path().string());
  if (!ClickItem(Child<QListWidget>(*p->w, "File1"), Q(example))) qFatal("example not listed");
  return p;
}

}  // namespace

class DisplayAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void textIsShownAsUtf8WhenValidElseAsLatin1() {
    const struct {
      const char* bytes;
      const char* shown;  // UTF-8
    } rows[] = {
        {"Fl\xC3\xBCgel", "Fl\xC3\xBCgel"},
        {"Fl\xFCgel", "Fl\xC3\xBCgel"},
        {"\xC3\xBC \xFC", "\xC3\x83\xC2\xBC \xC3\xBC"},  // one stray byte: all Latin-1
        {"ab\xC3", "ab\xC3\x83"},                       // cut short
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},               // overlong
    };
    for (const auto& r : rows) QVERIFY2(DecodeText(r.bytes) == QString::fromUtf8(r.shown), r.shown);
    Window w;
    w.picture1().Print({"ID: Fl\xFCgel"});
    w.picture1().Print({"\xE2\x80\x93 dash"});
    QCOMPARE(w.picture1().plainText(), QString::fromUtf8("ID: Fl\xC3\xBCgel\n\xE2\x80\x93 dash\n"));
  }

  void theAreaScrollsOnlyWhenTheScreenHoldsMoreLinesThanFit() {
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    QScrollBar* bar = pic.verticalScrollBar();
    for (int i = 0; i < 37; ++i) pic.Print({" "});
    QCoreApplication::processEvents();
    QVERIFY(!bar->isVisible());
    pic.Print({"line 38"});
    QCoreApplication::processEvents();
    QVERIFY(bar->isVisible());
    pic.Cls();
    QCoreApplication::processEvents();
    QVERIFY(!bar->isVisible());
  }

  void theContextMenuCopiesAndSaves() {
    TempDir dir;
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    pic.Print({" Fl\xC3\xBCgel"});
    pic.Scale(0, 0, 6345, 7860);
    pic.PSet(400, 6700);
    pic.Line(5745, 6700);
    QStringList offered;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* a : menu->actions()) offered << a->text() + (a->isEnabled() ? "" : " (off)");
      menu->setActiveAction(menu->actions().front());  // Copy Text, as the user picks it
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 50), pic.mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(pic.viewport(), &event);
    QCOMPARE(offered, QStringList({"Copy Text", "Save Screen as PNG...", "Save Graphic as SVG..."}));
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(" Fl\xC3\xBCgel\n"));
    QVERIFY(pic.saveSvg(Q(dir.file("g.svg"))));
    QCOMPARE(ReadBytes(dir.file("g.svg")), PageToSvg(pic.page()));
    QVERIFY(pic.savePng(Q(dir.file("g.png"))));
    QCOMPARE(QImage(Q(dir.file("g.png"))).size(), QSize(423, 524));
    // A failed save leaves no file.
    QVERIFY(!pic.saveSvg(Q(dir.file("missing/g.svg"))));
    QVERIFY(!pic.savePng(Q(dir.file("missing/g.png"))));
    QVERIFY(!QFile::exists(Q(dir.file("missing"))));
  }

  void theWholeRoadFromPickingAFileToTheSixthNextScreen() {
    auto p = PickExample("naca2412.dat");
    Window& w = *p->w;
    const std::string out = p->dir.file("naca2412.FOI");
    QCOMPARE(w.state().OutFile, out);

    Press(w, "Command1");
    QVERIFY(Child<QPushButton>(w, "Command3")->isEnabled());
    QVERIFY(!ReadBytes(out).empty());
    const std::vector<std::string> first = PageLines(w);
    QCOMPARE(first.size(), std::size_t{37});
    QCOMPARE(first[10], "File saved    : " + out);

    Press(w, "Command3");
    const std::vector<std::string> thickness = PageLines(w);
    QCOMPARE(thickness.at(1), std::string(" Fitting Result of Normalized Foil Thickness "));
    Press(w, "Command3");
    QCOMPARE(PageLines(w).at(1), std::string(" Fitting Result of Normalized Foil Camber "));
    Press(w, "Command3");
    QCOMPARE(PageLines(w).at(1), std::string(" Foil (blue) and camber (red)"));
    QCOMPARE(w.picture1().page().shapes.size(), std::size_t{2 + 2 * 26 + 2 * 101});
    Press(w, "Command3");
    QCOMPARE(PageLines(w).at(4), std::string("   nr       x        yt        yc"));
    Press(w, "Command3");
    QCOMPARE(PageLines(w), first);
    Press(w, "Command3");
    QCOMPARE(PageLines(w), thickness);
  }

  void anOutputFileThatCannotBeWrittenLeavesFileSavedUnshown() {
    auto p = PickExample("naca2412.dat");
    Window& w = *p->w;
    const std::string out = p->dir.file("missing/out.FOI");
    QLineEdit* text2 = Child<QLineEdit>(w, "Text2");
    text2->selectAll();
    QTest::keyClicks(text2, Q(out));
    Press(w, "Command1");
    const std::string error = ErrorLine(w);
    QVERIFY2(error.rfind("  " + out + " - ", 0) == 0, error.c_str());
    QVERIFY(error.size() > 4 && error.compare(error.size() - 4, 4, " !! ") == 0);
    for (const std::string& line : PageLines(w)) QVERIFY(line.rfind("File saved", 0) != 0);
    QVERIFY(ReadBytes(out).empty());
  }

  void theWindowAndTheGraphicRenderToPng() {
    auto p = PickExample("naca2412.dat");
    Window& w = *p->w;
    PictureBox& pic = w.picture1();
    auto shot = [&](const char* name) {
      const QString path = Q(p->dir.file(name));
      return w.grab().save(path) ? QImage(path) : QImage();
    };
    Press(w, "Command1");
    const QImage window = shot("window.png");
    QCOMPARE(window.size(), QSize(635, 560));
    QVERIFY(BlueInLine(window, pic, 37));
    QVERIFY(!BlueInLine(window, pic, 36));

    for (int i = 0; i < 3; ++i) Press(w, "Command3");
    const QImage graphic = shot("graphic.png");
    QVERIFY(BlueInLine(graphic, pic, 37));
    // The chord line, black where it is drawn (half the chord), background above.
    const State& s = w.state();
    const QPoint chord = pic.viewport()->mapTo(&w, ToSurface(pic.page().scale, pic.surfaceSize(),
                                                             static_cast<float>(AbX(s, 0.5)),
                                                             static_cast<float>(AbY(s, 0))));
    QCOMPARE(graphic.pixelColor(chord), QColor(Qt::black));
    QCOMPARE(graphic.pixelColor(chord + QPoint(0, -3)), QColor(0xE0, 0xE0, 0xE0));
  }
};

}  // namespace tarvelo::test

QTEST_MAIN(tarvelo::test::DisplayAreaTest)
#include "display_area_test.moc"
