// The window through its widgets: as it opens, refused field input, the file
// and directory lists, and the display area (decoding, scrolling, its menu,
// importing coordinates, the whole road of a run, a failed write, the window
// rendered to PNG).
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QtMath>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <tarvelo/tarvelo.h>

#include "app/export_dialog.h"
#include "app/window.h"
#include "screens/screens.h"
#include "screens/svg.h"
#include "support/test_support.h"

namespace tarvelo::test {

namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* Child(QWidget& w, const char* name) {
  if (W* found = w.findChild<W*>(QString::fromLatin1(name))) return found;
  qFatal("no control %s", name);
}

std::vector<std::string> PageLines(Window& w) { return w.picture1().page().texts(); }

// The red bold line an error leaves, or "" when line 31 is not one.
std::string ErrorLine(Window& w) {
  const Page& p = w.picture1().page();
  if (p.lines.size() < 31 || p.lines[30].runs.size() != 1) return "";
  const TextRun& r = p.lines[30].runs[0];
  return (r.color == kRed && r.bold) ? r.text : "";
}

void Press(Window& w, const char* button) {
  QTest::mouseClick(Child<QPushButton>(w, button), Qt::LeftButton);
}

// Clicks a name in a list with the mouse.
bool ClickItem(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(found.front()).center());
  return true;
}

// A window with its lists on a directory, shown offscreen.
std::unique_ptr<Window> OpenWindow(const std::string& dir) {
  auto w = std::make_unique<Window>();
  w->showDirectory(Q(dir));
  w->show();
  return w;
}

// A copy of an example in the directory, picked in the file list.
std::unique_ptr<Window> PickNaca2412(const TempDir& dir) {
  WriteBytes(dir.file("naca2412.dat"), ReadBytes(ExamplePath("naca2412.dat")));
  auto w = OpenWindow(dir.path().string());
  if (!ClickItem(Child<QListWidget>(*w, "File1"), "naca2412.dat")) qFatal("example not listed");
  return w;
}

struct Placed {
  const char* name;
  int left, top, width, height;  // twips, 15 to the pixel
  const char* text;              // nullptr: a list or the display area
};

const Placed kLayout[] = {
    {"Drive1", 240, 240, 2295, 315, nullptr},
    {"Dir1", 240, 600, 2295, 1890, nullptr},
    {"File1", 240, 2520, 2295, 1650, nullptr},
    {"Label1", 240, 4320, 2295, 255, "Input-File"},
    {"Text1", 240, 4560, 2295, 285, "Input-File"},
    {"Label2", 240, 4920, 2295, 255, "Output-File "},
    {"Text2", 240, 5160, 2295, 285, "Output-File"},
    {"Label4", 240, 5520, 2535, 255, "3 digits for std foil file name"},
    {"Text4", 240, 5760, 615, 285, ""},
    {"Label6", 1440, 5760, 1335, 255, "(101 .... 255)"},
    {"Label3", 240, 6120, 2535, 255, "No. of Control Points (Std=8)"},
    {"Text3", 240, 6360, 375, 285, "8"},
    {"Label5", 1080, 6360, 1695, 255, " (Max=20, Min = 4)"},
    {"Command1", 240, 6960, 2295, 255, "Start"},
    {"Command2", 240, 7320, 2295, 255, "Terminate "},
    {"Command3", 1320, 7920, 1335, 255, "Next Screen"},
    {"Picture1", 2880, 240, 6400, 7920, nullptr},
};

// Opens the display area's context menu and picks the action named `pick`,
// as the user would; returns what the menu offered ("(off)" after an action
// that is not enabled, "" for the separator).
QStringList UseMenu(PictureBox& pic, const QString& pick) {
  QStringList offered;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    QAction* chosen = nullptr;
    for (QAction* a : menu->actions()) {
      offered << a->text() + (a->isEnabled() ? "" : " (off)");
      if (a->text() == pick) chosen = a;
    }
    if (!chosen) {
      menu->close();
      return;
    }
    menu->setActiveAction(chosen);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 50), pic.mapToGlobal(QPoint(50, 50)));
  QApplication::sendEvent(pic.viewport(), &event);
  return offered;
}

// Answers the modal dialogs as they open, each with the next step, and
// rejects any it has no step for: a test never waits for a user. A step
// closes its dialog through Later, outside the timer, so that a dialog the
// closing opens (a question, a warning) is answered too.
class Answers {
 public:
  explicit Answers(std::vector<std::function<void(QWidget*)>> steps) : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      // A dialog its step left open is passed on after ten seconds: a step
      // closes it through the event loop, which a loaded machine may take
      // a while to reach.
      if (!modal || (modal == handled_ && ++waited_ < 1000)) return;
      handled_ = modal;
      waited_ = 0;
      if (next_ < steps_.size()) steps_[next_++](modal);
      else Later(modal, "reject");
    });
    timer_.start(10);
  }
  bool done() const { return next_ == steps_.size(); }
  // Calls a slot (accept, reject, click) once the event loop is back.
  static void Later(QObject* target, const char* slot) {
    QMetaObject::invokeMethod(target, slot, Qt::QueuedConnection);
  }

 private:
  std::vector<std::function<void(QWidget*)>> steps_;
  std::size_t next_ = 0;
  QPointer<QWidget> handled_;
  int waited_ = 0;
  QTimer timer_;
};

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

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  // Same look on every machine: the Fusion style.
  void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

  void opensWithItsCaptionLayoutAndInitialTexts() {
    Window w;
    QCOMPARE(w.windowTitle(), QStringLiteral("TARVELO I/O"));
    auto px = [](int twips) { return qRound(twips / 15.0); };
    for (const Placed& p : kLayout) {
      QWidget* c = Child<QWidget>(w, p.name);
      QVERIFY2(c->geometry() == QRect(px(p.left), px(p.top), px(p.width), px(p.height)), p.name);
      if (p.text) QVERIFY2(c->property("text").toString() == QString::fromLatin1(p.text), p.name);
    }
    QVERIFY(!Child<QPushButton>(w, "Command3")->isEnabled());
    QCOMPARE(w.focusWidget(), Child<QWidget>(w, "Drive1"));
    QVERIFY(PageLines(w).empty());
    QCOMPARE(w.minimumSize(), QSize(635, 560));  // no control out of reach
  }

  // Each refused input through the widgets: its message, what stays in the
  // field, and neither the output name nor the count is touched.
  void refusedFieldInputsLeaveTheirMessageAndTheState() {
    const QString range = "   Numbers between 101 and 255 are allowed !!", nines(400, '9');
    const struct {
      const char *row, *field;
      QString keys, message, left;
      bool pasted;
      double ncp;
    } rows[] = {
        {"foil 100", "Text4", "100", range, "", false, 12},
        {"foil 256", "Text4", "256", range, "", false, 12},
        {"foil letter", "Text4", "a", "   Only numbers are allowed !! ", "a", false, 12},
        {"count blank", "Text3", " ", "   Only numbers are allowed !!", "", false, 12},
        {"count deleted", "Text3", "\b", "", "", false, 12},
        // Too long for a double: +infinity, which Start refuses; no crash, no hang.
        {"count 400 digits pasted", "Text3", nines, "", nines, true, HUGE_VAL},
    };
    for (const auto& r : rows) {
      Window w;
      w.SetText(Field::Text2, "kept.FOI");
      w.SetText(Field::Text3, "12");
      QLineEdit* edit = Child<QLineEdit>(w, r.field);
      edit->selectAll();
      QApplication::clipboard()->setText(r.keys);
      if (r.pasted) QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
      else QTest::keyClicks(edit, r.keys);
      QVERIFY2(Q(ErrorLine(w)) == r.message && edit->text() == r.left, r.row);
      QVERIFY2(w.state().OutFile == "kept.FOI" && w.state().ncp == r.ncp, r.row);
    }
  }

  // The foil number names the output file at its third digit, each digit
  // clearing the area; a click in the list names both files (names of any
  // case; the root joined with one "/").
  void typingAFoilNumberThenClickingAFile() {
    TempDir dir;
    WriteBytes(dir.file("A.DAT"), "x");
    auto w = OpenWindow(dir.path().string());
    for (const char* digit : {"1", "2", "3"}) {
      w->picture1().Print({"something shown"});
      QTest::keyClicks(Child<QLineEdit>(*w, "Text4"), QString::fromLatin1(digit));
      QVERIFY(PageLines(*w).empty());
      QCOMPARE(w->state().OutFile == dir.file("Type123.FOI"), *digit == '3');
    }
    QTest::keyClicks(Child<QLineEdit>(*w, "Text4"), QStringLiteral("4"));
    QCOMPARE(ErrorLine(*w), std::string("   Only the first 3 digits are used for filename !!"));
    for (const char* edge : {"101", "255"}) {  // the ends of the range are numbers too
      w->SetText(Field::Text4, edge);
      QCOMPARE(w->state().OutFile, dir.file(std::string("Type") + edge + ".FOI"));
    }

    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("A.DAT")));
    QCOMPARE(w->Text(Field::Text1), dir.file("A.DAT"));
    QCOMPARE(w->Text(Field::Text2), dir.file("A.FOI"));
    QCOMPARE(w->Text(Field::Text4), std::string());
    QCOMPARE(w->state().InFile + " " + w->state().OutFile, dir.file("A.DAT") + " " + dir.file("A.FOI"));

    QVERIFY(w->showDirectory(QStringLiteral("/")));
    emit Child<FileList>(*w, "File1")->fileClicked(QStringLiteral("root.dat"));
    QCOMPARE(w->state().InFile + " " + w->state().OutFile, std::string("/root.dat /root.FOI"));
  }

  // Only what the file list could show is taken, and what is refused is named.
  void theFirstArgumentIsTakenAsAClickInTheFileList() {
    TempDir dir;
    WriteBytes(dir.file("arg.dat"), "x");
    WriteBytes(dir.file("arg.txt"), "x");
    QVERIFY(::mkfifo(dir.file("fifo.dat").c_str(), 0600) == 0);
    Window w;
    for (const auto& [name, text] : {std::pair{"missing.dat", " - Input file not found !! "},
                                     {"arg.txt", " - Input file not valid !! "},
                                     {"fifo.dat", " - Input file is not a regular file !! "}}) {
      w.openArgument(Q(dir.file(name)));
      QCOMPARE(ErrorLine(w), "  " + dir.file(name) + text);
      QVERIFY(w.state().InFile.empty());
    }
    w.openArgument(Q(dir.file("arg.dat")));
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q(dir.path().string()));
    QCOMPARE(w.state().InFile, dir.file("arg.dat"));
    QCOMPARE(w.Text(Field::Text2), dir.file("arg.FOI"));
  }

  void aDirectoryThatCannotBeReadIsReportedAndTheProgramGoesOn() {
    TempDir dir;
    WriteBytes(dir.file("stay.dat"), "x");
    fs::create_directory(dir.path() / "gone");
    auto w = OpenWindow(dir.path().string());
    DirList* dir1 = Child<DirList>(*w, "Dir1");
    fs::remove(dir.path() / "gone");
    dir1->setCurrentItem(dir1->findItems(QStringLiteral("gone"), Qt::MatchExactly).front());
    QTest::keyClick(dir1, Qt::Key_Return);
    QCOMPARE(ErrorLine(*w), "  " + dir.file("gone") + " - Directory could not be read !! ");
    QCOMPARE(dir1->path(), Q(dir.path().string()));
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("stay.dat")));
    QCOMPARE(w->state().InFile, dir.file("stay.dat"));
  }

  void textIsShownAsUtf8WhenValidElseAsLatin1() {
    const char* rows[][2] = {
        // bytes, shown (as UTF-8)
        {"Fl\xC3\xBCgel", "Fl\xC3\xBCgel"},
        {"Fl\xFCgel", "Fl\xC3\xBCgel"},
        {"\xC3\xBC \xFC", "\xC3\x83\xC2\xBC \xC3\xBC"},  // one stray byte: all Latin-1
        {"ab\xC3", "ab\xC3\x83"},                       // cut short
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},               // overlong
    };
    for (const auto& r : rows) QVERIFY2(DecodeText(r[0]) == QString::fromUtf8(r[1]), r[1]);
  }

  // A scroll bar only when the screen holds more lines than fit; the menu
  // copies the text (each line decoded on its own) and saves the area.
  void theAreaScrollsWhenNeededAndItsMenuCopiesAndSaves() {
    TempDir dir;
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    auto barShown = [&] {
      QCoreApplication::processEvents();
      return pic.verticalScrollBar()->isVisible();
    };
    for (int i = 0; i < 37; ++i) pic.Print({" "});
    QVERIFY(!barShown());
    pic.Print({"line 38"});
    QVERIFY(barShown());
    pic.Cls();
    QVERIFY(!barShown());

    pic.Print({" Fl\xFCgel"});
    pic.Print({"\xE2\x80\x93 dash"});
    pic.Scale(0, 0, 6345, 7860);
    pic.PSet(400, 6700);
    pic.Line(5745, 6700);
    QCOMPARE(UseMenu(pic, QStringLiteral("Copy Text")),
             QStringList({"Copy Text", "Save Screen as PNG...", "Save Graphic as SVG...", "",
                          QString::fromUtf8("Import coordinates\xE2\x80\xA6"),
                          QString::fromUtf8("Fewest control points for R.M.S. \u2264 1e-4 (off)"),
                          QString::fromUtf8("Export section\u2026 (off)"),
                          QString::fromUtf8("Section properties\u2026 (off)")}));
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromUtf8(" Fl\xC3\xBCgel\n\xE2\x80\x93 dash\n"));
    // A line wider than the area scrolls sideways, as a long one down.
    QVERIFY(!pic.horizontalScrollBar()->isVisible());
    pic.Print({"  " + std::string(200, 'p') + " - Input file not found !! "});
    QCoreApplication::processEvents();
    QVERIFY(pic.horizontalScrollBar()->isVisible());
    QVERIFY(pic.horizontalScrollBar()->maximum() > 200 * 5 - 423);
    QVERIFY(pic.saveSvg(Q(dir.file("g.svg"))));
    QCOMPARE(ReadBytes(dir.file("g.svg")), PageToSvg(pic.page()));
    QVERIFY(pic.savePng(Q(dir.file("g.png"))));
    // As wide as its widest line.
    QCOMPARE(QImage(Q(dir.file("g.png"))).size(), QSize(pic.painter().textWidth(pic.page()), 524));
    // A failed save leaves no file.
    QVERIFY(!pic.saveSvg(Q(dir.file("missing/g.svg"))));
    QVERIFY(!pic.savePng(Q(dir.file("missing/g.png"))));
    QVERIFY(!QFile::exists(Q(dir.file("missing"))));
  }

  // The section data of a coordinate file, saved where chosen and taken as
  // the input file; a refused file, a failed write or a cancelled dialog
  // leaves the input file as it was, each failure with its message.
  void importingCoordinatesFromTheAreasMenu() {
    TempDir dir;
    const std::string coords = dir.file("naca4412.dat"), bad = dir.file("bad.txt");
    WriteBytes(coords, ReadBytes(ExamplePath("coordinates/naca4412.dat")));
    WriteBytes(bad, "name\n1 0\n0.5 zero\n");
    auto w = OpenWindow(dir.path().string());
    QString chosen = Q(coords), answer = Q(dir.file("mine")), proposed;
    w->setImportDialogs({[&] { return chosen; }, [&](const QString& p) {
                           proposed = p;
                           return answer;
                         }});
    UseMenu(w->picture1(), QString::fromUtf8("Import coordinates\xE2\x80\xA6"));
    QCOMPARE(proposed, Q(dir.file("naca4412-section.dat")));
    const std::string saved = dir.file("mine.dat");
    QCOMPARE(ReadBytes(saved), SectionFileText(ImportCoordinates(coords)));
    QCOMPARE(w->Text(Field::Text1) + " " + w->state().OutFile, saved + " " + dir.file("mine.FOI"));
    QCOMPARE(Child<FileList>(*w, "File1")->currentItem()->text(), QStringLiteral("mine.dat"));
    Press(*w, "Command1");
    QCOMPARE(PageLines(*w).at(6), "File read     : " + saved);

    const struct {
      const char* row;
      std::string coordinates, target, message;
    } failures[] = {
        {"refused", bad, "", "  " + bad + " - Invalid number in line 3 !! "},
        {"not written", coords, dir.file("missing/x.dat"),
         "  " + dir.file("missing/x.dat") + " - Output file could not be written !! "},
        {"save cancelled", coords, "", ""},
        {"open cancelled", "", "", ""},
    };
    for (const auto& f : failures) {
      w->picture1().Cls();
      proposed.clear();
      chosen = Q(f.coordinates);
      answer = Q(f.target);
      w->importCoordinates();
      QVERIFY2(ErrorLine(*w) == f.message, f.row);
      QVERIFY2(proposed.isEmpty() == (f.coordinates.empty() || f.coordinates == bad), f.row);
      QVERIFY2(w->state().InFile == saved, f.row);
    }
    // The two inputs, mine.dat and its .FOI, nothing else.
    QCOMPARE(std::distance(fs::directory_iterator(dir.path()), {}), 4);
  }

  void theWholeRoadFromPickingAFileToTheSixthNextScreen() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    const std::string out = dir.file("naca2412.FOI");
    Press(*w, "Command1");
    QVERIFY(Child<QPushButton>(*w, "Command3")->isEnabled());
    QVERIFY(!ReadBytes(out).empty());
    const std::vector<std::string> first = PageLines(*w);
    QCOMPARE(first.size(), std::size_t{37});
    QCOMPARE(first[10], "File saved    : " + out);

    Press(*w, "Command3");
    const std::vector<std::string> thickness = PageLines(*w);
    QCOMPARE(thickness.at(1), std::string(" Fitting Result of Normalized Foil Thickness "));
    Press(*w, "Command3");
    QCOMPARE(PageLines(*w).at(1), std::string(" Fitting Result of Normalized Foil Camber "));
    Press(*w, "Command3");
    QCOMPARE(PageLines(*w).at(1), std::string(" Foil (blue) and camber (red)"));
    QCOMPARE(w->picture1().page().shapes.size(), std::size_t{2 + 2 * 26 + 2 * 101});
    Press(*w, "Command3");
    QCOMPARE(PageLines(*w).at(4), std::string("   nr       x        yt        yc"));
    Press(*w, "Command3");
    QCOMPARE(PageLines(*w), first);
    Press(*w, "Command3");
    QCOMPARE(PageLines(*w), thickness);
  }

  // Only results written to the file named are called saved: not after a
  // failed write, not before any run, and never over the input file.
  void theFirstPageSaysSavedOnlyForAFileWritten() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    const std::string in = dir.file("naca2412.dat"), data = ReadBytes(in);
    const struct {
      std::string out, error;
    } rows[] = {{dir.file("missing/out.FOI"), " - Output file could not be written !! "},
                {in, " - Output file is the input file !! "}};
    for (const auto& r : rows) {
      w->SetText(Field::Text2, r.out);
      Press(*w, "Command1");
      QCOMPARE(ErrorLine(*w), "  " + r.out + r.error);
      for (int press = 0; press < 5; ++press) Press(*w, "Command3");
      QCOMPARE(PageLines(*w).at(10), "File not saved: " + r.out);
    }
    QCOMPARE(ReadBytes(in), data);

    Window fresh;
    fresh.show();
    fresh.SetText(Field::Text1, "a.dat");
    fresh.SetText(Field::Text2, "a.FOI");
    fresh.SetText(Field::Text3, "3");
    Press(fresh, "Command1");  // refused, yet Next Screen is enabled
    for (int press = 0; press < 5; ++press) Press(fresh, "Command3");
    QCOMPARE(PageLines(fresh).at(8), std::string("Data points   :  0 "));
    QCOMPARE(PageLines(fresh).at(10), std::string("File not saved: a.FOI"));
  }

  // The menu's count: enabled once a file is chosen, it fits with the fewest
  // control points whose R.M.S. errors are within the fairness limit.
  void theFewestControlPointsForTheFairnessLimit() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    QAction* action = w->findChild<QAction*>(QStringLiteral("FewestControlPoints"));
    QVERIFY(action != nullptr);
    w->updateMenuActions();
    QVERIFY(action->isEnabled());
    action->trigger();
    const CountChoice want =
        FewestControlPoints(ReadSection(dir.file("naca2412.dat")), 1e-4, ErrorMeasure::Rms);
    QVERIFY(want.reached);
    QCOMPARE(w->Text(Field::Text3), std::to_string(want.control_points));
    QCOMPARE(PageLines(*w).at(9), "Control points:  " + std::to_string(want.control_points) + " ");
    QCOMPARE(w->state().rms(1), want.fit.thickness.rms);
    Window none;
    none.updateMenuActions();
    QVERIFY(!none.findChild<QAction*>(QStringLiteral("FewestControlPoints"))->isEnabled());
  }

  // Once a run has written its .FOI, the menu exports it: the dialog
  // proposes the section's own size, the save dialog a name beside the .FOI,
  // and the file holds the library's bytes. An export over the .FOI itself,
  // or of a .FOI gone since, is refused with the file's message.
  void exportSectionWritesTheSavedFoilInTheChosenFormat() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    Press(*w, "Command1");
    const QString exportItem = QString::fromUtf8("Export section\u2026");
    const std::string foi = dir.file("naca2412.FOI"), dxf = dir.file("outline.dxf");
    const std::string foiBytes = ReadBytes(foi);
    const FoilSpline foil = ReadFoilFile(foi);
    {
      double proposedT = 0, proposedF = 0;
      QString proposedName;
      Answers answers({
          [&](QWidget* modal) {
            auto* d = qobject_cast<ExportDialog*>(modal);
            if (!d) return;
            proposedT = d->findChild<QDoubleSpinBox*>(QStringLiteral("thickness"))->value();
            proposedF = d->findChild<QDoubleSpinBox*>(QStringLiteral("camber"))->value();
            d->findChild<QComboBox*>(QStringLiteral("format"))->setCurrentIndex(2);
            d->findChild<QDoubleSpinBox*>(QStringLiteral("thickness"))->setValue(0.15);
            d->findChild<QDoubleSpinBox*>(QStringLiteral("camber"))->setValue(-0.03);
            Answers::Later(d, "accept");
          },
          [&](QWidget* modal) {
            auto* f = qobject_cast<QFileDialog*>(modal);
            if (!f) return;
            proposedName = f->selectedFiles().value(0);
            f->selectFile(Q(dir.file("outline")));  // the format's ending is added
            Answers::Later(f, "accept");
          },
      });
      QVERIFY(UseMenu(w->picture1(), exportItem).contains(exportItem));
      QTRY_VERIFY_WITH_TIMEOUT(answers.done() && QFile::exists(Q(dxf)), 20000);
      QCOMPARE(proposedT, 0.12);
      QCOMPARE(proposedF, 0.02);
      QCOMPARE(proposedName, Q(dir.file("naca2412.dxf")));
      QCOMPARE(ReadBytes(dxf), ExportDxf(foil, {0.15, -0.03}));
    }
    // The table to `target` (after Yes to replacing it, when it exists): the
    // warning shown.
    const auto refused = [&](const std::string& target) {
      QString warning;
      std::vector<std::function<void(QWidget*)>> steps = {
          [](QWidget* modal) { Answers::Later(modal, "accept"); },
          [&](QWidget* modal) {
            if (auto* f = qobject_cast<QFileDialog*>(modal)) f->selectFile(Q(target));
            Answers::Later(modal, "accept");
          },
          [&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) warning = box->text();
            Answers::Later(modal, "accept");
          },
      };
      if (fs::exists(target))
        steps.insert(steps.begin() + 2, [](QWidget* modal) {
          if (auto* box = qobject_cast<QMessageBox*>(modal))
            Answers::Later(box->button(QMessageBox::Yes), "click");
        });
      Answers answers(steps);
      UseMenu(w->picture1(), exportItem);
      return QTest::qWaitFor([&] { return answers.done(); }, 20000) ? warning
                                                                   : QStringLiteral("(no dialogs)");
    };
    QCOMPARE(refused(foi), Q("  " + foi + " - Output file is the input file !! "));
    QCOMPARE(ReadBytes(foi), foiBytes);
    fs::remove(foi);
    QCOMPARE(refused(dir.file("table.txt")), Q("  " + foi + " - Input file not found !! "));
    QVERIFY(!fs::exists(dir.file("table.txt")));
  }

  // Once a run has written its .FOI, the menu shows its figures at its own
  // size as the library gives them; of a .FOI gone since, the file's message.
  void sectionPropertiesShowTheLastRunsSectionAtItsOwnSize() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    Press(*w, "Command1");
    const QString item = QString::fromUtf8("Section properties\u2026");
    const std::string foi = dir.file("naca2412.FOI");
    const auto shown = [&] {
      QString text;
      Answers answers({[&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
        Answers::Later(modal, "accept");
      }});
      UseMenu(w->picture1(), item);
      return QTest::qWaitFor([&] { return answers.done(); }, 20000) ? text : QStringLiteral("(no box)");
    };
    const QString text = shown();
    // The largest thickness as read: twice 6.0017 % at 30 % of the chord.
    QVERIFY2(text.startsWith(Q("<p>" + foi + "<br>at t/c = 0.120034, f/c = 0.02: ")), qPrintable(text));
    const OutlineProperties p = SectionProperties(ReadFoilFile(foi), {w->state().ymax(1), w->state().ymax(2)});
    const std::vector<std::pair<QString, double>> rows = {
        {"Largest thickness", p.max_thickness}, {"Leading-edge radius", p.le_radius},
        {"Trailing-edge angle (deg)", p.te_angle_deg}, {"Area", p.area}, {"Ixy about the centroid", p.ixy}};
    for (const auto& [title, value] : rows)
      QVERIFY2(text.contains("<tr><td>" + title + "</td><td align=\"right\">" + QString::number(value, 'g', 6) +
                             "</td></tr>"),
               qPrintable(title));
    QCOMPARE(text.count("<tr>"), static_cast<int>(PropertyFields().size()));
    fs::remove(foi);
    QCOMPARE(shown(), Q("  " + foi + " - Input file not found !! "));
  }

  void theWindowAndTheGraphicRenderToPng() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    PictureBox& pic = w->picture1();
    auto shot = [&](const char* name) {
      const QString path = Q(dir.file(name));
      return w->grab().save(path) ? QImage(path) : QImage();
    };
    Press(*w, "Command1");
    const QImage window = shot("window.png");
    QCOMPARE(window.size(), QSize(635, 560));
    QVERIFY(BlueInLine(window, pic, 37));
    QVERIFY(!BlueInLine(window, pic, 36));

    for (int i = 0; i < 3; ++i) Press(*w, "Command3");
    const QImage graphic = shot("graphic.png");
    QVERIFY(BlueInLine(graphic, pic, 37));
    // The chord line, black where it is drawn (half the chord), background above.
    const State& s = w->state();
    const QPoint chord = pic.viewport()->mapTo(w.get(), ToSurface(pic.page().scale, pic.surfaceSize(),
                                                                  static_cast<float>(AbX(s, 0.5)),
                                                                  static_cast<float>(AbY(s, 0))));
    QCOMPARE(graphic.pixelColor(chord), QColor(Qt::black));
    QCOMPARE(graphic.pixelColor(chord + QPoint(0, -3)), QColor(0xE0, 0xE0, 0xE0));

    // At a scale factor of 2 the drawing is smooth at device resolution and
    // as wide as a layout pixel: shades between curve and background, and the
    // chord line two device pixels high.
    QImage fine(pic.surfaceSize() * 2, QImage::Format_RGB32);
    fine.setDevicePixelRatio(2);
    fine.fill(ToQColor(kAreaBackground));
    QPainter painter(&fine);
    pic.painter().paint(painter, pic.page(), pic.surfaceSize());
    painter.end();
    int shades = 0;
    for (int y = 0; y < fine.height(); ++y)
      for (int x = 0; x < fine.width(); ++x) {
        const QColor c = fine.pixelColor(x, y);
        shades += c.red() > 0 && c.red() < 0xE0 && c.red() == c.green() && c.green() == c.blue();
      }
    QVERIFY2(shades > 100, qPrintable(QString::number(shades)));
    const QPointF at = ToSurfaceF(pic.page().scale, pic.surfaceSize(), static_cast<float>(AbX(s, 0.5)),
                                  static_cast<float>(AbY(s, 0))) * 2;
    int dark = 0;
    for (int y = qFloor(at.y()) - 3; y <= qFloor(at.y()) + 3; ++y)
      dark += fine.pixelColor(qFloor(at.x()), y).red() < 0x70;
    QCOMPARE(dark, 2);
  }
};

}  // namespace tarvelo::test

QTEST_MAIN(tarvelo::test::WindowTest)
#include "window_test.moc"
