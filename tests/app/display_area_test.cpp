// The display area: how it paints the page, scrolls a long screen, copies and
// saves; and the whole road of a run as the user sees it in the window.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <clocale>
#include <locale>

#include <filesystem>

#include "app_test_support.h"
#include "foilio/number_format.h"
#include "screens/screens.h"
#include "screens/svg.h"

namespace tarvelo::test {

namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsBlue(QColor c) { return c.blue() > 150 && c.red() < 120 && c.green() < 120; }
bool IsDark(QColor c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }

// Whether any pixel of a band of the image passes a test.
template <class Test>
bool AnyIn(const QImage& img, QRect band, Test test) {
  band = band.intersected(img.rect());
  for (int y = band.top(); y <= band.bottom(); ++y)
    for (int x = band.left(); x <= band.right(); ++x)
      if (test(img.pixelColor(x, y))) return true;
  return false;
}

// The band of text line n (from 1) on the display area's surface.
QRect LineBand(const PictureBox& pic, int n) {
  const int h = pic.painter().lineHeight();
  return QRect(0, (n - 1) * h, pic.surfaceSize().width(), h);
}

// Texts and looks of a page, for comparing two showings of a screen.
std::vector<TextLine> Runs(Window& w) { return w.picture1().page().lines; }

bool SameRuns(const std::vector<TextLine>& a, const std::vector<TextLine>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].runs != b[i].runs) return false;
  return true;
}

// The blue prompt, or "" when the last line is not one.
std::string Prompt(Window& w) {
  const Page& p = w.picture1().page();
  if (p.lines.empty() || p.lines.back().runs.size() != 1) return "";
  const TextRun& r = p.lines.back().runs[0];
  return (r.color == kBlue && !r.bold) ? r.text : "";
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

std::string FitRow(const State& s, int i, int k) {
  return FSt(3, 2, 0, i) + FSt(3, 2, 5, s.xd(i, k)) + FSt(3, 2, 5, s.yfit(i, k)) +
         FSt(3, 2, 5, s.yd(i, k)) + FSt(3, 2, 5, s.dy(i, k));
}

// Checks a fit listing of curve k against the state of the run.
void CheckFitListing(Window& w, int k) {
  const State& s = w.state();
  const std::vector<std::string> lines = PageLines(w);
  QVERIFY(s.rms.has(k) && s.dy.has(s.nd, k) && s.xd.has(s.nd, k) && s.nd > 0);
  QVERIFY(lines.size() >= static_cast<std::size_t>(s.nd + 7));
  QCOMPARE(lines[1], std::string(k == 1 ? " Fitting Result of Normalized Foil Thickness "
                                        : " Fitting Result of Normalized Foil Camber "));
  QCOMPARE(lines[3], std::string("   nr       x        fit      data      diff"));
  for (int i = 1; i <= s.nd; ++i) QCOMPARE(lines[static_cast<std::size_t>(3 + i)], FitRow(s, i, k));
  QCOMPARE(lines[static_cast<std::size_t>(4 + s.nd)], std::string(" "));
  QCOMPARE(lines[static_cast<std::size_t>(5 + s.nd)],
           " R.M.S. error / chord = " + FSt(0, 2, 5, s.rms(k)));
  QCOMPARE(Prompt(w), std::string(k == 1 ? "   Click on <Next Screen> for fitting results for camber "
                                         : "   Click on <Next Screen> for graphic display "));
}

// Start and the five screens of the cycle, as texts.
std::vector<std::vector<std::string>> AllScreens(Window& w) {
  std::vector<std::vector<std::string>> screens;
  Press(w, "Command1");
  screens.push_back(PageLines(w));
  for (int i = 0; i < 4; ++i) {
    Press(w, "Command3");
    screens.push_back(PageLines(w));
  }
  return screens;
}

}  // namespace

class DisplayAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void textIsShownAsUtf8WhenValidElseAsLatin1() {
    QCOMPARE(DecodeText("Fl\xC3\xBCgel"), QString::fromUtf8("Fl\xC3\xBCgel"));
    QCOMPARE(DecodeText("Fl\xFCgel"), QString::fromUtf8("Fl\xC3\xBCgel"));
    // One stray byte makes the whole text Latin-1.
    QCOMPARE(DecodeText("\xC3\xBC \xFC"), QString::fromUtf8("\xC3\x83\xC2\xBC \xC3\xBC"));
    QCOMPARE(DecodeText(""), QString());
    // Cut short, overlong, a surrogate, beyond U+10FFFF: all Latin-1.
    QCOMPARE(DecodeText("ab\xC3"), QString::fromUtf8("ab\xC3\x83"));
    QCOMPARE(DecodeText("\xC0\xAF"), QString::fromUtf8("\xC3\x80\xC2\xAF"));
    QCOMPARE(DecodeText("\xED\xA0\x80").size(), 3);
    QCOMPARE(DecodeText("\xF4\x90\x80\x80").size(), 4);
    QCOMPARE(DecodeText("\xF0\x9F\x99\x82"), QString::fromUtf8("\xF0\x9F\x99\x82"));

    Window w;
    w.picture1().Print({"ID: Fl\xFCgel"});
    w.picture1().Print({"\xE2\x80\x93 dash"});
    QCOMPARE(w.picture1().plainText(), QString::fromUtf8("ID: Fl\xC3\xBCgel\n\xE2\x80\x93 dash\n"));
  }

  void userCoordinatesMapOntoTheInnerSurface() {
    const QSize surface(423, 524);
    // Without a Scale the units are twips.
    QCOMPARE(ToSurface(UserScale{}, surface, 150, 300), QPoint(10, 20));
    const UserScale graphic{true, 0, 0, 6345, 7860};
    QCOMPARE(ToSurface(graphic, surface, 0, 0), QPoint(0, 0));
    QCOMPARE(ToSurface(graphic, surface, 400, 6700), QPoint(26, 446));
    QCOMPARE(ToSurface(graphic, surface, 5745, 6700), QPoint(383, 446));
    QCOMPARE(ToSurface(graphic, surface, 6345, 7860), QPoint(423, 524));
    QCOMPARE(RadiusToSurface(graphic, surface, 50), 50.0 * 423 / 6345);
    // A mirrored scale and a degenerate one.
    const UserScale mirrored{true, 6345, 7860, 0, 0};
    QCOMPARE(ToSurface(mirrored, surface, 6345, 7860), QPoint(0, 0));
    const UserScale flat{true, 5, 5, 5, 5};
    const QPoint far = ToSurface(flat, surface, 6, 6);
    QVERIFY(far.x() >= 1000000 && far.y() >= 1000000);
    QVERIFY(RadiusToSurface(flat, surface, 0) == 0);
  }

  void theAreaIsPaintedFromThePage() {
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    pic.Print({"first line"});
    pic.ForeColor(kRed);
    pic.FontBold(true);
    pic.Print({"red and bold"});
    pic.ForeColor(kBlack);
    pic.FontBold(false);
    pic.Scale(0, 0, 6345, 7860);
    pic.PSet(400, 6700);
    pic.Line(5745, 6700);
    pic.ForeColor(kBlue);
    pic.Circle(3000, 3000, 300);
    pic.PSet(6000, 100);
    QCoreApplication::processEvents();

    const QImage seen = pic.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage page = pic.renderImage();
    QCOMPARE(seen.size(), page.size());
    QCOMPARE(seen, page);

    // Covered and uncovered: painted again from the page, nothing lost.
    w.hide();
    w.show();
    QCoreApplication::processEvents();
    QCOMPARE(pic.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32), page);

    QCOMPARE(page.pixelColor(200, 446), QColor(Qt::black));    // the line
    QCOMPARE(page.pixelColor(ToSurface({true, 0, 0, 6345, 7860}, pic.surfaceSize(), 6000, 100)),
             QColor(Qt::blue));                                 // the point
    QCOMPARE(page.pixelColor(200, 300), QColor(0xE0, 0xE0, 0xE0));  // background
    // The circle's outline crosses the horizontal through its centre 20 pixels out.
    const QPoint centre = ToSurface({true, 0, 0, 6345, 7860}, pic.surfaceSize(), 3000, 3000);
    QVERIFY(AnyIn(page, QRect(centre.x() + 18, centre.y(), 4, 1), IsBlue));
    QVERIFY(!AnyIn(page, QRect(centre.x() - 5, centre.y() - 5, 10, 10), IsBlue));
    QVERIFY(AnyIn(page, LineBand(pic, 2), [](QColor c) { return c.red() > 150 && c.green() < 100; }));
  }

  void theAreaScrollsOnlyWhenTheScreenHoldsMoreLinesThanFit() {
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    QScrollBar* bar = pic.verticalScrollBar();
    for (int i = 0; i < 37; ++i) pic.Print({" "});
    QCoreApplication::processEvents();
    QCOMPARE(bar->maximum(), 0);
    QVERIFY(!bar->isVisible());

    pic.ForeColor(kBlue);
    pic.Print({"line 38"});
    pic.ForeColor(kBlack);
    QCoreApplication::processEvents();
    QVERIFY(bar->isVisible());
    QVERIFY(bar->maximum() > 0);
    // Scrolled to the end, the last line is in view.
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    const QImage seen = pic.viewport()->grab().toImage();
    const int h = pic.painter().lineHeight();
    const int top = 37 * h - bar->value();
    QVERIFY(top >= 0 && top + h <= seen.height());
    QVERIFY(AnyIn(seen, QRect(0, top, seen.width(), h), IsBlue));

    // A new screen starts at the top, without the bar.
    pic.Cls();
    QCoreApplication::processEvents();
    QCOMPARE(bar->value(), 0);
    QVERIFY(!bar->isVisible());
  }

  void theTextIsCopiedAsShown() {
    Window w;
    w.picture1().Print({" Fl\xC3\xBCgel"});
    w.picture1().Print({"   nr       x"});
    w.picture1().copyText();
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8(" Fl\xC3\xBCgel\n   nr       x\n"));
  }

  void theScreenIsSavedAsPngWithItsScrolledOutLines() {
    TempDir dir;
    Window w;
    PictureBox& pic = w.picture1();
    pic.Print({"short"});
    QVERIFY(pic.savePng(Q(dir.file("short.png"))));
    QImage saved(Q(dir.file("short.png")));
    QCOMPARE(saved.size(), QSize(423, 524));

    for (int i = 0; i < 49; ++i) pic.Print({"more"});
    QVERIFY(pic.savePng(Q(dir.file("long.png"))));
    saved = QImage(Q(dir.file("long.png")));
    QCOMPARE(saved.size(), QSize(423, 50 * pic.painter().lineHeight()));
    QVERIFY(AnyIn(saved, LineBand(pic, 50), IsDark));

    QVERIFY(!pic.savePng(Q(dir.file("missing/x.png"))));
    QVERIFY(!QFile::exists(Q(dir.file("missing/x.png"))));
  }

  void theGraphicIsSavedAsTheCoresSvg() {
    TempDir dir;
    Window w;
    PictureBox& pic = w.picture1();
    pic.Print({" Foil (blue) and camber (red)"});
    pic.Scale(0, 0, 6345, 7860);
    pic.PSet(400, 6700);
    pic.Line(5745, 6700);
    QVERIFY(pic.saveSvg(Q(dir.file("g.svg"))));
    QCOMPARE(ReadBytes(dir.file("g.svg")), PageToSvg(pic.page()));
    // A failed save leaves no file and an earlier one as it was.
    QVERIFY(!pic.saveSvg(Q(dir.file("missing/g.svg"))));
    QVERIFY(!QFile::exists(Q(dir.file("missing/g.svg"))));
  }

  void theContextMenuOffersCopyPngAndSvg() {
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    QStringList offered;
    QList<bool> enabled;
    auto inspect = [&] {
      QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions()) {
          offered << a->text();
          enabled << a->isEnabled();
        }
        menu->close();
      });
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 50),
                              pic.mapToGlobal(QPoint(50, 50)));
      QApplication::sendEvent(pic.viewport(), &event);
    };
    pic.Print({"text only"});
    inspect();
    QCOMPARE(offered, QStringList({"Copy Text", "Save Screen as PNG...", "Save Graphic as SVG..."}));
    QCOMPARE(enabled, QList<bool>({true, true, false}));

    offered.clear();
    enabled.clear();
    pic.PSet(100, 100);
    inspect();
    QCOMPARE(enabled, QList<bool>({true, true, true}));
  }

  // ---- the road of a run, as the user takes it ----

  void theWholeRoadFromPickingAFileToTheSixthNextScreen() {
    auto p = PickExample("naca2412.dat");
    Window& w = *p->w;
    const std::string out = p->dir.file("naca2412.FOI");
    QCOMPARE(w.state().InFile, p->data);
    QCOMPARE(w.state().OutFile, out);

    Press(w, "Command1");
    QVERIFY(Child<QPushButton>(w, "Command3")->isEnabled());
    QVERIFY(!ReadBytes(out).empty());
    std::vector<std::string> lines = PageLines(w);
    QCOMPARE(lines.size(), std::size_t{37});
    QCOMPARE(lines[6], "File read     : " + p->data);
    QCOMPARE(lines[7], std::string("ID - line     : NACA 2412, standard thickness and camber, 26 stations"));
    QCOMPARE(lines[8], std::string("Data points   :  26 "));
    QCOMPARE(lines[9], std::string("Control points:  8 "));
    QCOMPARE(lines[10], "File saved    : " + out);
    QCOMPARE(Prompt(w), std::string("   Click on <Next Screen> for fitting results for thickness "));
    const std::vector<TextLine> firstPage = Runs(w);

    Press(w, "Command3");  // 1: thickness
    QCOMPARE(PageLines(w).size(), std::size_t{37});
    CheckFitListing(w, 1);
    if (QTest::currentTestFailed()) return;
    const std::vector<TextLine> thickness = Runs(w);

    Press(w, "Command3");  // 2: camber
    QCOMPARE(PageLines(w).size(), std::size_t{37});
    CheckFitListing(w, 2);
    if (QTest::currentTestFailed()) return;

    Press(w, "Command3");  // 3: graphic
    lines = PageLines(w);
    QCOMPARE(lines.size(), std::size_t{37});
    QCOMPARE(lines[1], std::string(" Foil (blue) and camber (red)"));
    QCOMPARE(lines[2], std::string(" Circles mark input points, lines show spline approximation "));
    QCOMPARE(Prompt(w), std::string("   Click on <Next Screen> for foil thickness and camber"));
    const Page& g = w.picture1().page();
    QCOMPARE(g.shapes.size(), std::size_t{2 + 2 * 26 + 2 * 101});
    QCOMPARE(g.shapes[1].kind, Shape::Kind::Line);
    QCOMPARE(g.shapes[1].y2, 6700.0f);

    Press(w, "Command3");  // 4: control points
    lines = PageLines(w);
    QCOMPARE(lines.size(), std::size_t{37});
    QCOMPARE(lines[2], std::string("  Control Point Positions for Thickness (yt), Camber (yc)"));
    QCOMPARE(lines[4], std::string("   nr       x        yt        yc"));
    QVERIFY(w.state().xcp.has(8) && w.state().ycp.has(8, 2));
    for (int j = 1; j <= 8; ++j) {
      const State& s = w.state();
      QCOMPARE(lines[static_cast<std::size_t>(4 + j)],
               FSt(3, 2, 0, j) + FSt(3, 2, 5, s.xcp(j)) + FSt(3, 2, 5, s.ycp(j, 1)) +
                   FSt(3, 2, 5, s.ycp(j, 2)));
    }
    QCOMPARE(Prompt(w), std::string("   Click on <Next Screen> to view the screens again "));

    Press(w, "Command3");  // 5: the first page again
    QVERIFY(SameRuns(Runs(w), firstPage));
    Press(w, "Command3");  // 6: and the thickness listing again
    QVERIFY(SameRuns(Runs(w), thickness));
  }

  void aLongListingCanBeScrolledToItsPrompt() {
    auto p = PickExample("naca4412-40pt.dat");
    Window& w = *p->w;
    w.picture1().resize(w.picture1().size());  // laid out and shown
    Press(w, "Command1");
    QScrollBar* bar = w.picture1().verticalScrollBar();
    QCoreApplication::processEvents();
    QVERIFY(!bar->isVisible());  // the first page fits
    Press(w, "Command3");
    QCoreApplication::processEvents();
    CheckFitListing(w, 1);
    if (QTest::currentTestFailed()) return;
    QVERIFY(PageLines(w).size() > 37);
    QVERIFY(bar->isVisible());
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    const QImage seen = w.picture1().viewport()->grab().toImage();
    const int h = w.picture1().painter().lineHeight();
    QVERIFY(AnyIn(seen, QRect(0, seen.height() - 2 * h, seen.width(), 2 * h), IsBlue));
  }

  // The window runs with the user's locale for C functions; a decimal comma
  // there must change nothing on the screens or in the file.
  void aCommaLocaleChangesNoScreenAndNoFile() {
    auto p = PickExample("naca16-206-a08.dat");
    const std::string out = p->dir.file("naca16-206-a08.FOI");
    const auto inC = AllScreens(*p->w);
    const std::string fileInC = ReadBytes(out);
    QVERIFY(!fileInC.empty());
    fs::remove(out);

    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) QSKIP("no de_DE.UTF-8 locale here");
    std::locale::global(std::locale("de_DE.UTF-8"));
    auto w = OpenWindow(p->dir.path().string());
    ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("naca16-206-a08.dat"));
    const auto inComma = AllScreens(*w);
    const std::string fileInComma = ReadBytes(out);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");

    QCOMPARE(inComma, inC);
    QCOMPARE(fileInComma, fileInC);
  }

  // The program goes on: the two lines stay on the area, nothing is written.
  void tooFewDataPointsAreShownAndTheWindowStays() {
    TempDir dir;
    WriteBytes(dir.file("short.dat"),
               "five points\r\n5\r\n0,0,0,0\r\n25,3,3,1\r\n50,4,4,1\r\n75,2,2,1\r\n100,0,0,0\r\n");
    auto w = OpenWindow(dir.path().string());
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("short.dat")));
    Press(*w, "Command1");
    QCOMPARE(PageLines(*w), (std::vector<std::string>{
                                "*** Insufficient data. For 8  control points,",
                                "  you need at least 9  data points. ****"}));
    QVERIFY(w->isVisible());
    QVERIFY(ReadBytes(dir.file("short.FOI")).empty());
    // Fewer control points, and the same file fits.
    QLineEdit* text3 = Child<QLineEdit>(*w, "Text3");
    text3->selectAll();
    Type(*w, "Text3", QStringLiteral("4"));
    Press(*w, "Command1");
    QCOMPARE(PageLines(*w)[8], std::string("Data points   :  5 "));
  }

  void anOutputFileThatCannotBeWrittenLeavesFileSavedUnshown() {
    auto p = PickExample("naca2412.dat");
    Window& w = *p->w;
    const std::string out = p->dir.file("missing/out.FOI");
    QLineEdit* text2 = Child<QLineEdit>(w, "Text2");
    text2->selectAll();
    Type(w, "Text2", Q(out));
    QCOMPARE(w.state().OutFile, out);
    Press(w, "Command1");
    const std::string error = ErrorLine(w);
    QVERIFY2(error.rfind("  " + out + " - ", 0) == 0, error.c_str());
    QVERIFY(error.size() > 4 && error.compare(error.size() - 4, 4, " !! ") == 0);
    for (const std::string& line : PageLines(w)) QVERIFY(line.rfind("File saved", 0) != 0);
    QVERIFY(ReadBytes(out).empty());
    QVERIFY(Child<QPushButton>(w, "Command3")->isEnabled());
  }

  void theWindowAndTheGraphicRenderWithTheirColours() {
    auto p = PickExample("naca2412.dat");
    Window& w = *p->w;
    Press(w, "Command1");
    const QImage window = w.grab().toImage();
    // After Start: the first page's black text, its blue prompt on line 37.
    PictureBox& pic = w.picture1();
    const QPoint origin = pic.viewport()->mapTo(&w, QPoint(0, 0));
    QVERIFY(AnyIn(window, LineBand(pic, 7).translated(origin), IsDark));
    QVERIFY(AnyIn(window, LineBand(pic, 37).translated(origin), IsBlue));
    QVERIFY(!AnyIn(window, LineBand(pic, 36).translated(origin), IsDark));

    for (int i = 0; i < 3; ++i) Press(w, "Command3");
    QCOMPARE(w.state().nScreen, std::int16_t{3});
    const QImage graphic = w.grab().toImage();
    TempDir shots;
    QVERIFY(graphic.save(Q(shots.file("graphic.png"))));
    QCOMPARE(QImage(Q(shots.file("graphic.png"))).size(), QSize(635, 560));

    // The chord line, black where it is drawn: at half the chord.
    const State& s = w.state();
    const UserScale scale = pic.page().scale;
    const QPoint chord = ToSurface(scale, pic.surfaceSize(), static_cast<float>(AbX(s, 0.5)),
                                   static_cast<float>(AbY(s, 0)));
    QCOMPARE(graphic.pixelColor(chord + origin), QColor(Qt::black));
    QCOMPARE(graphic.pixelColor(chord + origin + QPoint(0, -3)), QColor(0xE0, 0xE0, 0xE0));
    // The blue prompt on line 37, nothing dark in that line.
    QVERIFY(AnyIn(graphic, LineBand(pic, 37).translated(origin), IsBlue));
    QVERIFY(!AnyIn(graphic, LineBand(pic, 37).translated(origin), IsDark));
    // The thickness curve's largest value 1 stands near y = 1355 of 7860.
    const QPoint top = ToSurface(scale, pic.surfaceSize(), 1000, 1355);
    QVERIFY(AnyIn(graphic, QRect(origin.x(), origin.y() + top.y() - 3, pic.surfaceSize().width(), 7),
                  IsBlue));
  }
};

}  // namespace tarvelo::test

QTEST_MAIN(tarvelo::test::DisplayAreaTest)
#include "display_area_test.moc"
