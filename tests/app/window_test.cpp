// The window through its widgets: as it opens, refused field input, the file
// and directory lists, and the display area (decoding, scrolling, its menu,
// importing coordinates, the whole road of a run, a section of 100 000
// points, a failed read or write, the count and the export from the menu, the
// window rendered to PNG).
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QtMath>
#include <QToolTip>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <tarvelo/window.h>

#include "app/export_dialog.h"
#include "app/window.h"
#include "foilio/number_format.h"
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

// NACA 4412 at `points` cosine-spaced stations.
Section Naca4412(int points) {
  Section s{"NACA 4412, " + std::to_string(points) + " stations", {}, {}, {}};
  for (int i = 0; i < points; ++i) {
    const double x = 0.5 * (1 - std::cos(std::numbers::pi * i / (points - 1)));
    s.x.push_back(x);
    s.thickness.push_back(1.2 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x +
                                 0.2843 * x * x * x - 0.1015 * x * x * x * x));
    s.camber.push_back(x < 0.4 ? 0.04 / 0.16 * (0.8 * x - x * x)
                               : 0.04 / 0.36 * (0.2 + 0.8 * x - x * x));
  }
  return s;
}

// The texts of the five screens that Next Screen shows in turn.
std::vector<std::vector<std::string>> Cycle(Window& w) {
  std::vector<std::vector<std::string>> screens;
  for (int press = 0; press < 5; ++press) {
    QTest::mouseClick(Child<QPushButton>(w, "Command3"), Qt::LeftButton);
    screens.push_back(PageLines(w));
  }
  return screens;
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
// as the user would, and returns once the action has done its work; returns
// what the menu offered ("(off)" after an action that is not enabled, "" for
// the separator).
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
  // The window's actions run once the menu has closed: here, to their end.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
  return offered;
}

// Answers the modal dialogs as they open, each with the next step, and
// rejects any it has no step for: a test never waits for a user. Each dialog
// is answered once: one that is on top again after a question of its own has
// closed (a file dialog after "replace it?") is not a new one. A step closes
// its dialog through Later, outside the timer, so that a dialog the closing
// opens (a question, a warning) is answered too.
class Answers {
 public:
  explicit Answers(std::vector<std::function<void(QWidget*)>> steps = {})
      : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      if (answered_.contains(modal)) {
        // A dialog its step left open is rejected after ten seconds, so that
        // the test fails on what it finds rather than hanging.
        if (++waited_ == 1000) Later(modal, "reject");
        return;
      }
      answered_ << modal;
      seen_ << QString::fromLatin1(modal->metaObject()->className());
      waited_ = 0;
      if (next_ < steps_.size()) steps_[next_++](modal);
      else Later(modal, "reject");
    });
    timer_.start(10);
  }
  bool done() const { return next_ == steps_.size(); }
  // The kinds of the dialogs that opened, in order.
  const QStringList& seen() const { return seen_; }
  // Calls a slot (accept, reject, click) once the event loop is back.
  static void Later(QObject* target, const char* slot) {
    QMetaObject::invokeMethod(target, slot, Qt::QueuedConnection);
  }

 private:
  std::vector<std::function<void(QWidget*)>> steps_;
  std::size_t next_ = 0;
  QList<QPointer<QWidget>> answered_;
  QStringList seen_;
  int waited_ = 0;
  QTimer timer_;
};

// Names the file in a file dialog as the user types it, and accepts it.
// selectFile would not do: it leaves the name field alone once that has the
// focus, which comes when the window system gets round to it, so the
// dialog's own proposal would be taken now and then.
void SaveAs(QWidget* modal, const QString& path) {
  auto* f = qobject_cast<QFileDialog*>(modal);
  if (!f) return;
  f->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
  Answers::Later(f, "accept");
}

// A step that reads the text of the message box it is given, then closes it.
std::function<void(QWidget*)> ReadBox(QString& text) {
  return [&text](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
    Answers::Later(modal, "accept");
  };
}

bool IsBlue(QColor c) { return c.blue() > 150 && c.red() < 120 && c.green() < 120; }

// Whether any pixel of text line n (from 1) of the display area is blue.
bool BlueInLine(const QImage& img, PictureBox& pic, int n) {
  const int h = pic.lineHeight();
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

  // From the keyboard: the first Down takes the first file, each Down the
  // next, and Space, Return or Enter take the file under the cursor again,
  // as a click does (both names, the foil number emptied).
  void theFileListTakesAFileFromTheKeys() {
    TempDir dir;
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) WriteBytes(dir.file(name), "x");
    auto w = OpenWindow(dir.path().string());
    QApplication::setActiveWindow(w.get());
    auto* file1 = Child<FileList>(*w, "File1");
    QTest::keyClick(w.get(), Qt::Key_Tab);  // from Drive1 to Dir1
    QTest::keyClick(w.get(), Qt::Key_Tab);
    QCOMPARE(w->focusWidget(), file1);
    QVERIFY(file1->selectedItems().isEmpty());
    // The field, the input file and the output file.
    const auto taken = [&] {
      return w->Text(Field::Text1) + " " + w->state().InFile + " " + w->state().OutFile;
    };
    const auto names = [&](const char* stem) {
      const std::string in = dir.file(std::string(stem) + ".dat");
      return in + " " + in + " " + dir.file(std::string(stem) + ".FOI");
    };
    QTest::keyClick(file1, Qt::Key_Down);
    QCOMPARE(taken(), names("a"));
    QTest::keyClick(file1, Qt::Key_Down);
    QCOMPARE(taken(), names("b"));
    for (const auto& [key, row] : {std::pair{Qt::Key_Space, "Space"}, {Qt::Key_Return, "Return"},
                                   {Qt::Key_Enter, "Enter"}}) {
      w->SetText(Field::Text1, "other.dat");
      w->SetText(Field::Text2, "other.FOI");
      w->SetText(Field::Text4, "123");
      QTest::keyClick(file1, key);
      QVERIFY2(taken() == names("b"), row);
      QVERIFY2(w->Text(Field::Text4).empty(), row);
    }
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

  // A scroll bar only when the screen holds more lines than fit, or a line
  // wider; the menu copies the text (each line decoded on its own) and saves
  // the area; the area's tooltip points to the menu.
  void theAreaScrollsWhenNeededAndItsMenuCopiesAndSaves() {
    TempDir dir;
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    auto barShown = [&](QScrollBar* bar) {
      QCoreApplication::processEvents();
      return bar->isVisible();
    };
    QScrollBar* down = pic.verticalScrollBar();
    QScrollBar* across = pic.horizontalScrollBar();
    for (int i = 0; i < 37; ++i) pic.Print({" "});
    QVERIFY(!barShown(down));
    pic.Print({"line 38"});
    QVERIFY(barShown(down));
    pic.Cls();
    QVERIFY(!barShown(down));

    pic.Print({" Fl\xFCgel"});
    pic.Print({"\xE2\x80\x93 dash"});
    pic.Scale(0, 0, 6345, 7860);
    pic.PSet(400, 6700);
    pic.Line(5745, 6700);
    QCOMPARE(UseMenu(pic, QStringLiteral("Copy Text")),
             QStringList({"Copy Text", QString::fromUtf8("Save Screen as PNG\u2026"),
                          QString::fromUtf8("Save Graphic as SVG\u2026"), "",
                          QString::fromUtf8("Import coordinates\u2026"),
                          QString::fromUtf8("Fewest control points for R.M.S. \u2264 1e-4 (off)"),
                          "Place points exactly", QString::fromUtf8("Export section\u2026 (off)"),
                          QString::fromUtf8("Section properties\u2026 (off)")}));
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromUtf8(" Fl\xC3\xBCgel\n\xE2\x80\x93 dash\n"));
    // A line wider than the area scrolls sideways, as a long one down; the
    // width is that of the widest line, one printed in pieces included.
    QVERIFY(!barShown(across));
    pic.Print({"  " + std::string(200, 'p')}, LineEnd::KeepOpen);
    pic.Print({" - Input file not found !! "});
    pic.Print({"short"});
    QVERIFY(barShown(across));
    QCOMPARE(across->maximum(), pic.painter().widthOf(229) - pic.viewport()->width());
    QCOMPARE(across->maximum(), pic.painter().textWidth(pic.page()) - pic.viewport()->width());
    QVERIFY(pic.saveSvg(Q(dir.file("g.svg"))));
    QCOMPARE(ReadBytes(dir.file("g.svg")), PageToSvg(pic.page()));
    QVERIFY(pic.savePng(Q(dir.file("g.png"))));
    // As wide as its widest line.
    QCOMPARE(QImage(Q(dir.file("g.png"))).size(), QSize(pic.painter().textWidth(pic.page()), 524));
    // A failed save leaves no file.
    QVERIFY(!pic.saveSvg(Q(dir.file("missing/g.svg"))));
    QVERIFY(!pic.savePng(Q(dir.file("missing/g.png"))));
    QVERIFY(!QFile::exists(Q(dir.file("missing"))));
    // A new screen is as wide as its own lines.
    pic.Cls();
    pic.Print({"short"});
    QVERIFY(!barShown(across));
    QCOMPARE(across->maximum(), 0);

    QHelpEvent help(QEvent::ToolTip, QPoint(50, 50), pic.viewport()->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(pic.viewport(), &help);
    QCOMPARE(QToolTip::text(),
             QString::fromUtf8("Right click for the menu: copy or save the screen,\n"
                               "import coordinates as section data, the fewest control\n"
                               "points for R.M.S. \u2264 1e-4, place points exactly,\n"
                               "export the fitted section or show its properties"));
    // Each line narrower than the window.
    for (const QString& line : QToolTip::text().split('\n'))
      QVERIFY2(QFontMetrics(QToolTip::font()).horizontalAdvance(line) < w.width(), qPrintable(line));
  }

  // Line 37, the blue prompt, is seen whole whatever the width of the lines
  // above it: a bar across takes its height from the lines, which close up,
  // and no bar down appears. Without the bar the lines keep their height.
  void thePromptStaysWholeUnderABarAcross() {
    TempDir dir;
    auto w = PickNaca2412(dir);  // its ID line is wider than the area
    PictureBox& pic = w->picture1();
    Press(*w, "Command1");
    QCoreApplication::processEvents();
    QVERIFY(pic.horizontalScrollBar()->isVisible());
    QVERIFY(!pic.verticalScrollBar()->isVisible());
    QCOMPARE(pic.lineHeight(), 13);
    QVERIFY(37 * pic.lineHeight() <= pic.viewport()->height());
    // The prompt's blue rows on the window, against those of the same page
    // painted without bars.
    const auto blueRows = [&](const QImage& img, QPoint origin, int line) {
      const int h = pic.lineHeight();
      int rows = 0;
      for (int y = origin.y() + (line - 1) * h; y < origin.y() + line * h; ++y) {
        bool blue = false;
        for (int x = origin.x(); x < origin.x() + 400 && !blue; ++x)
          blue = IsBlue(img.pixelColor(x, y));
        rows += blue;
      }
      return rows;
    };
    const QImage shown = w->grab().toImage();
    QImage alone(pic.surfaceSize(), QImage::Format_RGB32);
    alone.fill(ToQColor(kAreaBackground));
    QPainter painter(&alone);
    pic.painter().paint(painter, pic.page(), pic.surfaceSize(), pic.lineHeight(), 0, 524);
    painter.end();
    const int whole = blueRows(alone, {0, 0}, 37);
    QVERIFY(whole >= 7);
    QCOMPARE(blueRows(shown, pic.viewport()->mapTo(w.get(), QPoint(0, 0)), 37), whole);

    Press(*w, "Command3");  // the listing's lines fit across
    QCoreApplication::processEvents();
    QVERIFY(!pic.horizontalScrollBar()->isVisible());
    QCOMPARE(pic.lineHeight(), pic.painter().lineHeight());
    QCOMPARE(pic.lineHeight(), 14);
  }

  // A screen of a section of 100 000 points costs in proportion to its lines:
  // the whole cycle, with the fit, well inside a minute where it once took a
  // quarter of an hour. Every screen is the library's for the same fit.
  void aSectionOf100000PointsStepsThroughTheWholeCycle() {
    TempDir dir;
    WriteBytes(dir.file("dense.dat"), SectionFileText(Naca4412(100000)));
    const Section section = ReadSection(dir.file("dense.dat"));
    auto w = OpenWindow(dir.path().string());
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("dense.dat")));
    QElapsedTimer clock;
    clock.start();
    Press(*w, "Command1");
    const std::vector<std::string> first = PageLines(*w);
    const std::vector<std::vector<std::string>> cycle = Cycle(*w);
    const qint64 took = clock.elapsed();
    QVERIFY2(took < 60000, qPrintable(QString::number(took)));

    const Fit fit = FitSection(section, 8);
    const ScreenFiles files{dir.file("dense.dat"), dir.file("dense.FOI"), true};
    QCOMPARE(first, ScreenText(Screen::FirstPage, section, fit, files));
    const Screen order[] = {Screen::ThicknessFit, Screen::CamberFit, Screen::Graphic,
                            Screen::ControlPoints, Screen::FirstPage};
    for (std::size_t i = 0; i < 5; ++i) {
      const std::vector<std::string> want = ScreenText(order[i], section, fit, files);
      std::size_t line = 0;
      while (line < want.size() && line < cycle[i].size() && want[line] == cycle[i][line]) ++line;
      QVERIFY2(cycle[i] == want,
               qPrintable(QStringLiteral("screen %1, line %2").arg(i + 1).arg(line + 1)));
    }
    // The listing scrolls down to its last line, and not across.
    Press(*w, "Command3");
    QCoreApplication::processEvents();
    PictureBox& pic = w->picture1();
    QCOMPARE(pic.verticalScrollBar()->maximum(),
             static_cast<int>(cycle[0].size()) * pic.lineHeight() - pic.viewport()->height());
    QCOMPARE(pic.horizontalScrollBar()->maximum(), 0);
  }

  // The section data of a coordinate file, saved where chosen, taken as the
  // input file and confirmed on the display area in the first page's words;
  // a refused file, a failed write or a cancelled dialog leaves the input file
  // as it was, each failure with its message.
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
    const Section section = ImportCoordinates(coords);
    QCOMPARE(ReadBytes(saved), SectionFileText(section));
    QCOMPARE(w->Text(Field::Text1) + " " + w->state().OutFile, saved + " " + dir.file("mine.FOI"));
    QCOMPARE(Child<FileList>(*w, "File1")->currentItem()->text(), QStringLiteral("mine.dat"));
    const std::vector<std::string> confirmation = {
        "Coordinates   : " + coords, "File written  : " + saved,
        "Data points   :  " + std::to_string(section.points()) + " "};
    QCOMPARE(PageLines(*w), confirmation);
    for (const TextLine& line : w->picture1().page().lines)  // black, not bold
      QVERIFY(line.runs.size() == 1 && line.runs[0].color == kBlack && !line.runs[0].bold);
    QCOMPARE(section.points(), std::size_t{41});
    Press(*w, "Command1");
    QCOMPARE(PageLines(*w).at(6), "File read     : " + saved);


    const struct {
      const char* row;
      std::string coordinates, target, message;
    } failures[] = {
        {"refused", bad, "", "  " + bad + " - Invalid number in line 3 !! "},
        {"not written", coords, dir.file("missing/x.dat"),
         "  " + dir.file("missing/x.dat") + " - Output file could not be written: no such folder !! "},
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
      QVERIFY2(w->picture1().page().lines.size() == (f.message.empty() ? 0u : 31u), f.row);
      QVERIFY2(proposed.isEmpty() == (f.coordinates.empty() || f.coordinates == bad), f.row);
      QVERIFY2(w->state().InFile == saved, f.row);
    }
    // Twice the size, its lower surface three points short: the frame and
    // the repair are said below the confirmation.
    std::istringstream rows(ReadBytes(coords));
    std::string name, big;
    std::getline(rows, name);
    std::vector<std::string> points;
    for (double x = 0, y = 0; rows >> x >> y;) points.push_back(std::to_string(2 * x) + " " + std::to_string(2 * y));
    big = name + "\n";
    for (std::size_t i = 0; i + 3 < points.size(); ++i) big += points[i] + "\n";
    const std::string scaled = dir.file("scaled.txt");
    WriteBytes(scaled, big);
    chosen = Q(scaled);
    answer = Q(dir.file("scaled.dat"));
    w->importCoordinates();
    const ImportedSection imported = ImportOutline(scaled);
    QCOMPARE(imported.warnings.size(), std::size_t{1});
    QCOMPARE(PageLines(*w), (std::vector<std::string>{
                                "Coordinates   : " + scaled, "File written  : " + dir.file("scaled.dat"),
                                "Data points   :  41 ", "Import        : " + ImportTransformText(imported.transform),
                                "Warning       : " + imported.warnings[0]}));
    QCOMPARE(ReadBytes(dir.file("scaled.dat")), SectionFileText(imported.section));
    fs::remove(scaled);
    fs::remove(dir.file("scaled.dat"));
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
    } rows[] = {{dir.file("missing/out.FOI"), " - Output file could not be written: no such folder !! "},
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

  // After a Start whose file could not be read (too few points, not found),
  // the results held are the earlier file's, and every screen names that
  // file: the first page as after its own run, the others on line 1. The
  // next good run shows its screens as ever.
  void afterARefusedReadTheScreensNameTheFileOfTheirResults() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    const std::string in = dir.file("naca2412.dat"), few = dir.file("few.dat");
    Press(*w, "Command1");
    const std::vector<std::vector<std::string>> good = Cycle(*w);
    WriteBytes(few, "few\r\n5\r\n0,0,0,0\r\n25,3,3,1\r\n50,3,3,1\r\n75,2,2,1\r\n100,0,0,0\r\n");
    w->showDirectory(Q(dir.path().string()));
    std::vector<std::string> notFound(30, " ");
    notFound.push_back("  " + dir.file("gone.dat") + " - Input file not found !! ");
    const struct {
      const char* row;
      std::string file;
      std::vector<std::string> refusal;
    } rows[] = {
        {"too few points", few,
         {"*** Insufficient data. For 8  control points,",
          "  you need at least 9  data points. ****"}},
        {"not found", dir.file("gone.dat"), notFound},
    };
    for (const auto& r : rows) {
      if (r.file == few)
        QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("few.dat")));
      else
        w->SetText(Field::Text1, r.file);
      Press(*w, "Command1");
      QVERIFY2(PageLines(*w) == r.refusal, r.row);
      std::vector<std::vector<std::string>> named = good;
      for (std::size_t i = 0; i < 4; ++i) named[i][0] = "File read     : " + in;
      QVERIFY2(Cycle(*w) == named, r.row);
    }
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("naca2412.dat")));
    Press(*w, "Command1");
    QCOMPARE(Cycle(*w), good);
    QCOMPARE(good[0][0], std::string());
  }

  // The menu's count: enabled once a file is chosen, it fits with the fewest
  // control points whose R.M.S. errors are within the fairness limit. When no
  // count is, a message says so, with the count set and its errors.
  void theFewestControlPointsForTheFairnessLimit() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    const QString item = QString::fromUtf8("Fewest control points for R.M.S. \u2264 1e-4");
    const CountChoice want =
        FewestControlPoints(ReadSection(dir.file("naca2412.dat")), 1e-4, ErrorMeasure::Rms);
    QVERIFY(want.reached);
    const auto e2 = [](double v) { return QString::number(v, 'e', 2); };
    const QString wrote = Q("\nWrote " + dir.file("naca2412.FOI") + ".");
    {
      QString confirmed;
      Answers answers({ReadBox(confirmed)});
      QVERIFY(UseMenu(w->picture1(), item).contains(item));
      QCOMPARE(answers.seen(), QStringList({"QMessageBox"}));
      QCOMPARE(confirmed, QStringLiteral("Set to %1 control points, the fewest that keep both R.M.S. "
                                         "errors within 1e-4: R.M.S. error / chord %2 for the "
                                         "thickness, %3 for the camber.")
                                  .arg(want.control_points)
                                  .arg(e2(want.fit.thickness.rms), e2(want.fit.camber.rms)) +
                              wrote);
    }
    QCOMPARE(w->Text(Field::Text3), std::to_string(want.control_points));
    QCOMPARE(PageLines(*w).at(9), "Control points:  " + std::to_string(want.control_points) + " ");
    QCOMPARE(w->state().rms(1), want.fit.thickness.rms);

    // A step in the camber no count of 4 to 20 follows within 1e-4.
    Section rough = ReadSection(dir.file("naca2412.dat"));
    rough.camber[12] += 0.004;
    WriteBytes(dir.file("rough.dat"), SectionFileText(rough));
    const CountChoice best = FewestControlPoints(rough, 1e-4, ErrorMeasure::Rms);
    QVERIFY(!best.reached);
    w->showDirectory(Q(dir.path().string()));
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("rough.dat")));
    QString told;
    {
      Answers answers({ReadBox(told)});
      UseMenu(w->picture1(), item);
      QCOMPARE(answers.seen(), QStringList({"QMessageBox"}));
    }
    QCOMPARE(told, QStringLiteral("No count from 4 to 20 keeps both R.M.S. errors within 1e-4.\n"
                                  "Set to %1 control points, the count with the smallest error: "
                                  "R.M.S. error / chord %2 for the thickness, %3 for the camber.")
                           .arg(best.control_points)
                           .arg(e2(best.fit.thickness.rms), e2(best.fit.camber.rms)) +
                       Q("\nWrote " + dir.file("rough.FOI") + "."));
    QCOMPARE(w->Text(Field::Text3), std::to_string(best.control_points));
    QCOMPARE(PageLines(*w).at(6), "File read     : " + dir.file("rough.dat"));
    QCOMPARE(w->state().rms(2), best.fit.camber.rms);

    Window none;
    none.updateMenuActions();
    QVERIFY(!none.findChild<QAction*>(QStringLiteral("FewestControlPoints"))->isEnabled());
  }

  // Once a run has written its .FOI, the menu exports it. The dialog proposes
  // the section's own size, says what its fields hold and refuses, saying
  // why, what is no size, staying open; the save dialog proposes a name
  // beside the .FOI, and the file holds the library's bytes. A .FOI gone or
  // spoilt since is reported before any dialog opens; an export over the .FOI
  // itself is refused with the file's message.
  void exportSectionWritesTheSavedFoilInTheChosenFormat() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    Press(*w, "Command1");
    const QString exportItem = QString::fromUtf8("Export section\u2026");
    const std::string foi = dir.file("naca2412.FOI"), dxf = dir.file("outline.dxf");
    const std::string foiBytes = ReadBytes(foi);
    const FoilSpline foil = ReadFoilFile(foi);
    {
      QStringList proposed, labels, reasons;
      QList<bool> whole;
      QString proposedName, named, exported;
      Answers answers({
          [&](QWidget* modal) {
            auto* d = qobject_cast<ExportDialog*>(modal);
            if (!d) return;
            auto* thickness = d->findChild<QLineEdit*>(QStringLiteral("thickness"));
            auto* camber = d->findChild<QLineEdit*>(QStringLiteral("camber"));
            auto* form = qobject_cast<QFormLayout*>(d->layout());
            proposed << thickness->text() << camber->text();
            named = d->findChild<QLabel*>(QStringLiteral("section"))->text();
            for (QLineEdit* edit : {thickness, camber})
              labels << qobject_cast<QLabel*>(form->labelForField(edit))->text();
            d->findChild<QComboBox*>(QStringLiteral("format"))->setCurrentIndex(2);
            QPushButton* ok = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            // Each refused with its reason, the dialog left open.
            for (const auto& [edit, text] : {std::pair{thickness, "12"}, {thickness, "0,15"},
                                             {thickness, "0"}, {camber, "-1.5"}}) {
              edit->selectAll();
              QTest::keyClicks(edit, QString::fromLatin1(text));
              QTest::mouseClick(ok, Qt::LeftButton);
              auto* reason = d->findChild<QLabel*>(QStringLiteral("reason"));
              reasons << reason->text();
              // The dialog grows to show the reason whole.
              QCoreApplication::processEvents();
              whole << (reason->height() >= reason->heightForWidth(reason->width()) &&
                        d->rect().contains(reason->geometry()));
              if (!d->isVisible()) reasons << "closed";
              edit->setText(edit == thickness ? "0.15" : "-0.03");
            }
            Answers::Later(ok, "click");
          },
          [&](QWidget* modal) {
            if (auto* f = qobject_cast<QFileDialog*>(modal))
              proposedName = f->selectedFiles().value(0);
            SaveAs(modal, Q(dir.file("outline")));  // the format's ending is added
          },
          ReadBox(exported),
      });
      // A file made beside since the list was read shows up once the export
      // has refreshed it; the file taken stays selected.
      auto* file1 = Child<FileList>(*w, "File1");
      WriteBytes(dir.file("late.dat"), "x");
      QVERIFY(!file1->names().contains("late.dat"));
      QVERIFY(UseMenu(w->picture1(), exportItem).contains(exportItem));
      QCOMPARE(answers.seen(), QStringList({"tarvelo::ExportDialog", "QFileDialog", "QMessageBox"}));
      QCOMPARE(file1->names(), QStringList({"late.dat", "naca2412.dat"}));
      QCOMPARE(file1->currentItem()->text(), QStringLiteral("naca2412.dat"));
      QCOMPARE(named, Q(foi));
      QCOMPARE(exported, Q("Exported " + foi + "\nto " + dxf + "."));
      QCOMPARE(proposed, QStringList({"0.120034", "0.02"}));
      QCOMPARE(labels, QStringList({"Largest thickness, fraction of chord: 0.12 = 12 %",
                                    "Largest camber, fraction of chord: 0.02 = 2 %"}));
      const QString range = QStringLiteral(
          "The largest thickness must be above 0 and at most 1 (a fraction of the chord: "
          "0.12 = 12 %); %1 is not.");
      QCOMPARE(reasons, QStringList({range.arg("12"),
                                     QString::fromUtf8("\u201c0,15\u201d is not a number. The "
                                                       "largest thickness is a fraction of the "
                                                       "chord, written with a decimal point: "
                                                       "0.12 = 12 %."),
                                     range.arg("0"),
                                     "The largest camber must be from -1 to 1 (a fraction of the "
                                     "chord: 0.02 = 2 %); -1.5 is not."}));
      QCOMPARE(whole, QList<bool>({true, true, true, true}));
      QCOMPARE(proposedName, Q(dir.file("naca2412.dxf")));
      QCOMPARE(ReadBytes(dxf), ExportDxf(foil, {0.15, -0.03}));
    }
    {
      // Laid off across the mean line: offered for the formats that draw
      // the outline's coordinates, and the file is the library's so.
      QStringList offered;
      QString text;
      Answers answers({
          [&](QWidget* modal) {
            auto* d = qobject_cast<ExportDialog*>(modal);
            if (!d) return;
            auto* across = d->findChild<QCheckBox*>(QStringLiteral("across"));
            text = across->text();
            QVERIFY(!across->isChecked());
            across->setChecked(true);
            auto* format = d->findChild<QComboBox*>(QStringLiteral("format"));
            for (int i = 0; i < format->count(); ++i) {
              format->setCurrentIndex(i);
              offered << QString::fromLatin1(d->format().name) + (across->isEnabled() ? " across" : "");
            }
            format->setCurrentIndex(2);
            Answers::Later(d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), "click");
          },
          [&](QWidget* modal) { SaveAs(modal, Q(dir.file("across.dxf"))); },
          [](QWidget* modal) { Answers::Later(modal, "accept"); },
      });
      UseMenu(w->picture1(), exportItem);
      QCOMPARE(text, QStringLiteral("Thickness laid off across the mean line, as published tables do"));
      QStringList expected;
      for (const ExportFormat& f : ExportFormats())
        expected << QString::fromLatin1(f.name) + (f.takes_layoff ? " across" : "");
      QCOMPARE(offered, expected);
      ExportOptions across;
      across.size = {0.120034, 0.02};
      across.layoff = Layoff::Across;
      QCOMPARE(ReadBytes(dir.file("across.dxf")), Export(foil, "dxf", across));
    }
    // The table to `target` (after Yes to replacing it, when it exists): the
    // dialogs seen and the warning shown.
    const auto refused = [&](const std::string& target) {
      QString warning;
      std::vector<std::function<void(QWidget*)>> steps = {
          [](QWidget* modal) { Answers::Later(modal, "accept"); },
          [&](QWidget* modal) { SaveAs(modal, Q(target)); },
          ReadBox(warning),
      };
      if (fs::exists(target))
        steps.insert(steps.begin() + 2, [](QWidget* modal) {
          if (auto* box = qobject_cast<QMessageBox*>(modal))
            Answers::Later(box->button(QMessageBox::Yes), "click");
        });
      Answers answers(steps);
      UseMenu(w->picture1(), exportItem);
      return answers.seen().join(" ") + ": " + warning;
    };
    QCOMPARE(refused(foi), "tarvelo::ExportDialog QFileDialog QMessageBox QMessageBox: " +
                               Q("  " + foi + " - Output file is the input file !! "));
    QCOMPARE(ReadBytes(foi), foiBytes);

    // Spoilt or gone: told before anything is asked.
    const std::string spoilt = foiBytes.substr(0, foiBytes.size() / 2) + "garbage\r\n";
    std::string spoiltMessage;
    WriteBytes(foi, spoilt);
    try {
      ReadFoilFile(foi);
    } catch (const Error& e) {
      spoiltMessage = WindowText(e);
    }
    const auto told = [&] {
      QString warning;
      Answers answers({ReadBox(warning)});
      UseMenu(w->picture1(), exportItem);
      return answers.seen().join(" ") + ": " + warning;
    };
    QVERIFY(!spoiltMessage.empty());
    QCOMPARE(told(), "QMessageBox: " + Q(spoiltMessage));
    fs::remove(foi);
    QCOMPARE(told(), "QMessageBox: " + Q("  " + foi + " - Foil file not found !! "));

    // A section whose camber is nowhere above 0 was fitted as it is: the
    // camber proposed is 1, which gives back the section's own outline.
    Section down = ReadSection(dir.file("naca2412.dat"));
    for (double& c : down.camber) c = -c;
    WriteBytes(dir.file("down.dat"), SectionFileText(down));
    w->showDirectory(Q(dir.path().string()));
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("down.dat")));
    Press(*w, "Command1");
    QStringList proposed;
    {
      Answers answers({[&](QWidget* modal) {
        if (auto* d = qobject_cast<ExportDialog*>(modal))
          for (const char* name : {"thickness", "camber"})
            proposed << d->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
        Answers::Later(modal, "reject");
      }});
      UseMenu(w->picture1(), exportItem);
    }
    QCOMPARE(proposed, QStringList({"0.120034", "1"}));
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
    QCOMPARE(shown(), Q("  " + foi + " - Foil file not found !! "));
  }

  // After a run, the results stay those of its file while another is named
  // as input, by a click in the list, a name typed or an import: every
  // screen names their file then, the first page as after its own run, the
  // others on line 1. Named again, the screens are as ever.
  void theScreensNameTheFileOfTheirResultsOnceAnotherIsNamed() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    const std::string in = dir.file("naca2412.dat");
    WriteBytes(dir.file("naca4412-40pt.dat"), ReadBytes(ExamplePath("naca4412-40pt.dat")));
    WriteBytes(dir.file("coords.txt"), ReadBytes(ExamplePath("coordinates/naca4412.dat")));
    w->setImportDialogs({[&] { return Q(dir.file("coords.txt")); }, [&](const QString&) { return Q(dir.file("imported")); }});
    Press(*w, "Command1");
    const std::vector<std::vector<std::string>> good = Cycle(*w);
    std::vector<std::vector<std::string>> named = good;
    for (std::size_t i = 0; i < 4; ++i) named[i][0] = "File read     : " + in;
    const struct {
      const char* row;
      std::function<void()> name;
      std::string input;
    } rows[] = {
        {"picked", [&] {
           w->showDirectory(Q(dir.path().string()));
           QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("naca4412-40pt.dat")));
         }, dir.file("naca4412-40pt.dat")},
        {"typed", [&] { w->SetText(Field::Text1, dir.file("typed.dat")); }, dir.file("typed.dat")},
        {"imported", [&] { w->importCoordinates(); }, dir.file("imported.dat")},
    };
    for (const auto& r : rows) {
      r.name();
      QVERIFY2(w->state().InFile == r.input, r.row);
      QVERIFY2(Cycle(*w) == named, r.row);
    }
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("naca2412.dat")));
    QCOMPARE(Cycle(*w), good);
    QCOMPARE(good[4][6], "File read     : " + in);
  }

  // "Place points exactly", off at start: once on, the runs and the fewest
  // count place every data point at its own chord position; after a run with
  // the window's placement that placed points off theirs, the item says how
  // many and how far, and after any other run it says nothing more.
  void placingPointsExactly() {
    TempDir dir;
    const Section dense = Naca4412(3000);
    WriteBytes(dir.file("dense.dat"), SectionFileText(dense));
    const Section section = ReadSection(dir.file("dense.dat"));
    auto w = PickNaca2412(dir);
    w->showDirectory(Q(dir.path().string()));
    QAction* exact = w->exactPlacementAction();
    const QString plain = QStringLiteral("Place points exactly");
    QVERIFY(exact->isCheckable() && !exact->isChecked());
    QCOMPARE(w->state().placement, std::string("window"));
    const auto offered = [&] { return UseMenu(w->picture1(), QStringLiteral("(none)")).filter(plain).value(0); };
    QCOMPARE(offered(), plain);

    const auto toldOf = [&](const Fit& fit) {
      return plain + QStringLiteral(" (the last run placed %1 point%2 up to %3 of the chord off)")
                         .arg(fit.misplaced_points)
                         .arg(fit.misplaced_points == 1 ? "" : "s")
                         .arg(QString::number(fit.largest_misplacement, 'g', 2));
    };
    // One of the example's points is placed off its own chord position, and
    // many of the dense section's.
    Press(*w, "Command1");
    const Fit example = FitSection(ReadSection(dir.file("naca2412.dat")), FitOptions{8, "window", false});
    QCOMPARE(example.misplaced_points, 1);
    QCOMPARE(offered(), toldOf(example));
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("dense.dat")));
    Press(*w, "Command1");
    const Fit placed = FitSection(section, FitOptions{8, "window", false});
    QVERIFY(placed.misplaced_points > 1);
    const QString told = toldOf(placed);
    QCOMPARE(offered(), told);
    QCOMPARE(w->state().rms(1), placed.thickness.rms);

    UseMenu(w->picture1(), told);
    QVERIFY(exact->isChecked());
    QCOMPARE(w->state().placement, std::string("exact"));
    Press(*w, "Command1");
    const Fit exactFit = FitSection(section, FitOptions{8, "exact", false});
    QCOMPARE(w->state().rms(1), exactFit.thickness.rms);
    QCOMPARE(w->state().rms(2), exactFit.camber.rms);
    QCOMPARE(offered(), plain);
    // The listing itself is as ever: its R.M.S. line is the exact fit's.
    Press(*w, "Command3");
    const std::vector<std::string> listing = PageLines(*w);
    QCOMPARE(listing.at(listing.size() - 2), " R.M.S. error / chord = " + FSt(0, 2, 5, exactFit.thickness.rms));

    const CountChoice want = FewestControlPoints(section, CountOptions{1e-4, ErrorMeasure::Rms, "exact"});
    QVERIFY(want.reached);
    {
      Answers answers({[](QWidget* modal) { Answers::Later(modal, "accept"); }});
      UseMenu(w->picture1(), QString::fromUtf8("Fewest control points for R.M.S. \u2264 1e-4"));
    }
    QCOMPARE(w->Text(Field::Text3), std::to_string(want.control_points));
    QCOMPARE(w->state().fit->placement, std::string("exact"));
    QCOMPARE(w->state().rms(1), want.fit.thickness.rms);

    UseMenu(w->picture1(), plain);
    QVERIFY(!exact->isChecked());
    QCOMPARE(w->state().placement, std::string("window"));
  }

  // What a PNG image may be, at each limit and a step beyond; a page beyond
  // them is refused before anything of its size is allocated (the peak
  // memory of a process that tries stays where it was), and the page in
  // sight is offered instead, and saved as it is shown.
  void aPngTooLargeIsRefusedAtOnceAndThePageInSightOffered() {
    const struct {
      QSize size;
      QString refusal;
    } limits[] = {
        {QSize(1, 1000000), ""},
        {QSize(1, 1000001), "The screen is 1000001 pixels high: a PNG image holds at most 1000000 rows."},
        {QSize(1000000, 1), ""},
        {QSize(1000001, 1), "The screen is 1000001 pixels wide: a PNG image holds at most 1000000 columns."},
        {QSize(1024, 65536), ""},
        {QSize(1024, 65537),
         "The screen is 1024 x 65537 pixels: its image would take 257 MB, more than the 256 MB an image "
         "may take here."},
    };
    for (const auto& l : limits) QCOMPARE(PngRefusal(l.size), l.refusal);

    TempDir dir;
    Window w;
    w.show();
    PictureBox& pic = w.picture1();
    // 20 000 lines are too much memory, 100 000 too many rows.
    for (const std::size_t lines : {std::size_t{20000}, std::size_t{100000}}) {
      pic.Cls();
      pic.PrintRows(Rows{lines, 45, [](std::size_t n) { return "row " + std::to_string(n); }});
      QCoreApplication::processEvents();
      QVERIFY(!PngRefusal(pic.imageSize()).isEmpty());
      const pid_t child = fork();
      if (child == 0) {
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const bool saved = pic.savePng(Q(dir.file("tall.png")));
        getrusage(RUSAGE_SELF, &after);
        _exit(!saved && after.ru_maxrss - before.ru_maxrss < 32 * 1024 ? 0 : 1);
      }
      int status = -1;
      QCOMPARE(waitpid(child, &status, 0), child);
      QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(lines)));
      QVERIFY(!QFile::exists(Q(dir.file("tall.png"))));
    }
    QCOMPARE(PngRefusal(pic.imageSize()),
             QStringLiteral("The screen is %1 pixels high: a PNG image holds at most 1000000 rows.")
                 .arg(100000 * pic.lineHeight()));

    pic.setFocus();
    QTest::keyClick(&pic, Qt::Key_End);
    QString refusal, info;
    Answers answers({[&](QWidget* modal) {
                       auto* box = qobject_cast<QMessageBox*>(modal);
                       if (!box) return;
                       refusal = box->text(), info = box->informativeText();
                       for (QAbstractButton* b : box->buttons())
                         if (b->text() == QString::fromUtf8("Save Visible Page\u2026")) Answers::Later(b, "click");
                     },
                     [&](QWidget* modal) { SaveAs(modal, Q(dir.file("visible"))); }});
    UseMenu(pic, QString::fromUtf8("Save Screen as PNG\u2026"));
    QCOMPARE(answers.seen(), QStringList({"QMessageBox", "QFileDialog"}));
    QCOMPARE(refusal, PngRefusal(pic.imageSize()));
    QCOMPARE(info, QStringLiteral("The page in sight can be saved instead."));
    const QImage visible(Q(dir.file("visible.png")));
    QCOMPARE(visible.size(), pic.surfaceSize());
    QCOMPARE(visible.convertToFormat(QImage::Format_RGB32), pic.renderVisible());
  }

  // Enter and Return on a focused button press it, as Space does, and the
  // buttons keep their look; in the display area Home, End, Page Up, Page
  // Down and Ctrl+Home, Ctrl+End move through a long listing. A busy cursor
  // stands while Start and Next Screen work, and is gone after.
  void keysPressButtonsAndMoveThroughAListingAndWorkShowsABusyCursor() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    QApplication::setActiveWindow(w.get());
    auto* start = Child<QPushButton>(*w, "Command1");
    auto* next = Child<QPushButton>(*w, "Command3");
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                                         {Qt::Key_Enter, Qt::KeypadModifier}, {Qt::Key_Space, Qt::NoModifier}}) {
      w->picture1().Cls();
      start->setFocus();
      QTest::keyClick(start, key, modifiers);
      QCOMPARE(PageLines(*w).size(), std::size_t{37});
      next->setFocus();
      QTest::keyClick(next, key, modifiers);
      QCOMPARE(PageLines(*w).at(1), std::string(" Fitting Result of Normalized Foil Thickness "));
    }
    // Enter with Ctrl, and on a field, presses nothing.
    w->picture1().Cls();
    QTest::keyClick(start, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(Child<QLineEdit>(*w, "Text3"), Qt::Key_Return);
    QVERIFY(PageLines(*w).empty());
    for (QPushButton* b : {start, next}) QVERIFY(!b->autoDefault() && !b->isDefault());

    for (QPushButton* b : {start, next}) {
      std::optional<Qt::CursorShape> during;
      QTimer::singleShot(0, [&] { during = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor; });
      b->click();
      QCOMPARE(during, std::optional(Qt::WaitCursor));
      QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    PictureBox& pic = w->picture1();
    pic.Cls();
    pic.PrintRows(Rows{100000, 300, [](std::size_t n) { return std::to_string(n) + std::string(296, '-'); }});
    QCoreApplication::processEvents();
    QScrollBar* down = pic.verticalScrollBar();
    QScrollBar* across = pic.horizontalScrollBar();
    const int bottom = down->maximum(), page = down->pageStep();
    QCOMPARE(bottom, 100000 * pic.lineHeight() - pic.viewport()->height());
    pic.setFocus();
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int value;
    } moves[] = {
        {Qt::Key_End, Qt::NoModifier, bottom},       {Qt::Key_PageUp, Qt::NoModifier, bottom - page},
        {Qt::Key_Home, Qt::NoModifier, 0},           {Qt::Key_PageDown, Qt::NoModifier, page},
        {Qt::Key_PageDown, Qt::NoModifier, 2 * page}, {Qt::Key_End, Qt::ControlModifier, bottom},
        {Qt::Key_PageDown, Qt::NoModifier, bottom},  {Qt::Key_Home, Qt::ControlModifier, 0},
        {Qt::Key_PageUp, Qt::NoModifier, 0},
    };
    for (const auto& m : moves) {
      across->setValue(across->maximum());
      QTest::keyClick(&pic, m.key, m.modifiers);
      QVERIFY2(down->value() == m.value, qPrintable(QStringLiteral("key %1: %2").arg(m.key).arg(down->value())));
      // Home goes to the start of the lines too.
      QCOMPARE(across->value() == 0, m.key == Qt::Key_Home);
    }
    QVERIFY(across->maximum() > 0);
  }

  // A section without camber is symmetric: so the properties say, and the
  // export takes no camber for it.
  void aSectionWithoutCamberIsShownAsSymmetric() {
    TempDir dir;
    WriteBytes(dir.file("naca0012.dat"), ReadBytes(ExamplePath("naca0012.dat")));
    auto w = OpenWindow(dir.path().string());
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("naca0012.dat")));
    Press(*w, "Command1");
    const std::string foi = dir.file("naca0012.FOI");
    for (double c : ReadFoilFile(foi).camber) QCOMPARE(c, 0.0);
    QString text;
    {
      Answers answers({ReadBox(text)});
      UseMenu(w->picture1(), QString::fromUtf8("Section properties\u2026"));
    }
    const QString t = QString::number(w->state().ymax(1), 'g', 6);
    QVERIFY2(text.startsWith(Q("<p>" + foi + "<br>at t/c = ") + t + ", symmetric: "), qPrintable(text));
    QVERIFY(!text.contains("f/c"));
    const OutlineProperties p = SectionProperties(ReadFoilFile(foi), {w->state().ymax(1), 0});
    QVERIFY(text.contains("<tr><td>Area</td><td align=\"right\">" + QString::number(p.area, 'g', 6)));

    QStringList camber;
    Answers answers({[&](QWidget* modal) {
                       auto* d = qobject_cast<ExportDialog*>(modal);
                       if (!d) return;
                       auto* edit = d->findChild<QLineEdit*>(QStringLiteral("camber"));
                       auto* across = d->findChild<QCheckBox*>(QStringLiteral("across"));
                       across->setChecked(true);
                       for (int format = 0; format < d->findChild<QComboBox*>()->count(); ++format) {
                         d->findChild<QComboBox*>()->setCurrentIndex(format);
                         camber << edit->text() + (edit->isEnabled() ? " on" : " off");
                         // No camber to lay the thickness off across.
                         if (across->isEnabled() || d->layoff() != Layoff::Vertical) camber << "across";
                       }
                       const auto& formats = ExportFormats();
                       const auto sized = std::find_if(formats.begin(), formats.end(),
                                                       [](const ExportFormat& f) { return f.needs_size; });
                       d->findChild<QComboBox*>()->setCurrentIndex(static_cast<int>(sized - formats.begin()));
                       edit->setText(QStringLiteral("1"));  // as a program might
                       d->accept();
                       camber << QString::number(d->size().camber);
                     },
                     [](QWidget* modal) { Answers::Later(modal, "reject"); }});
    UseMenu(w->picture1(), QString::fromUtf8("Export section\u2026"));
    QCOMPARE(camber.size(), static_cast<qsizetype>(ExportFormats().size() + 1));
    for (int i = 0; i + 1 < camber.size(); ++i) QCOMPARE(camber[i], QStringLiteral("0 off"));
    QCOMPARE(camber.back(), QStringLiteral("0"));
  }

  void theWindowAndTheGraphicRenderToPng() {
    TempDir dir;
    auto w = PickNaca2412(dir);
    PictureBox& pic = w->picture1();
    auto shot = [&](const char* name) {
      QCoreApplication::processEvents();  // the scroll bars settle
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
