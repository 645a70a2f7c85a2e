// The window as it opens, what its fields leave when typed into through the
// real widgets, and what the file lists fill in.
#include <QClipboard>
#include <filesystem>
#include <limits>

#include "app_test_support.h"

namespace tarvelo::test {

namespace {

namespace fs = std::filesystem;

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

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

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
  }

  void typingAFoilNumberDigitByDigitNamesTheOutputFile() {
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    const std::string type123 = dir.file("Type123.FOI");
    for (const char* digit : {"1", "2", "3"}) {
      w->picture1().Print({"something shown"});
      QTest::keyClicks(Child<QLineEdit>(*w, "Text4"), QString::fromLatin1(digit));
      QVERIFY(PageLines(*w).empty());  // cleared at each digit
      QCOMPARE(w->state().OutFile == type123, *digit == '3');
    }
    QCOMPARE(w->Text(Field::Text2), type123);

    QTest::keyClicks(Child<QLineEdit>(*w, "Text4"), QStringLiteral("4"));
    QCOMPARE(ErrorLine(*w), std::string("   Only the first 3 digits are used for filename !!"));
    QCOMPARE(w->Text(Field::Text4), std::string("1234"));
    QCOMPARE(w->state().OutFile, type123);
  }

  // Each refused input: its message, what stays in the field, and neither
  // the output name nor the count is touched.
  void refusedFieldInputsLeaveTheirMessageAndTheState_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("left");
    QTest::addColumn<double>("ncp");
    const QString range = "   Numbers between 101 and 255 are allowed !!";
    const QString digits400(400, QLatin1Char('9'));
    QTest::newRow("foil 100") << "Text4" << "100" << false << range << "" << 12.0;
    QTest::newRow("foil 256") << "Text4" << "256" << false << range << "" << 12.0;
    QTest::newRow("foil letter") << "Text4" << "a" << false << "   Only numbers are allowed !! "
                                 << "a" << 12.0;
    QTest::newRow("count blank") << "Text3" << " " << false << "   Only numbers are allowed !!" << ""
                                 << 12.0;
    QTest::newRow("count deleted") << "Text3" << "\b" << false << "" << "" << 12.0;
    // Too long for a double: +infinity, which Start refuses; no crash, no hang.
    QTest::newRow("count 400 digits pasted") << "Text3" << digits400 << true << "" << digits400
                                             << std::numeric_limits<double>::infinity();
  }
  void refusedFieldInputsLeaveTheirMessageAndTheState() {
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(bool, pasted);
    QFETCH(QString, message);
    QFETCH(QString, left);
    QFETCH(double, ncp);
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    w->SetText(Field::Text2, "kept.FOI");
    w->SetText(Field::Text3, "12");
    QLineEdit* edit = Child<QLineEdit>(*w, field.toLatin1().constData());
    edit->selectAll();
    if (pasted) {
      QApplication::clipboard()->setText(keys);
      QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
      QTest::keyClicks(edit, keys);
    }
    QCOMPARE(Q(ErrorLine(*w)), message);
    QCOMPARE(edit->text(), left);
    QCOMPARE(w->state().OutFile, std::string("kept.FOI"));
    QCOMPARE(w->state().ncp, ncp);
  }

  // The list shows names of any case; the root is joined with one "/".
  void clickingAFileNamesInputAndFoiFile() {
    TempDir dir;
    WriteBytes(dir.file("A.DAT"), "x");
    auto w = OpenWindow(dir.path().string());
    QTest::keyClicks(Child<QLineEdit>(*w, "Text4"), QStringLiteral("123"));
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("A.DAT")));
    QCOMPARE(w->state().InFile, dir.file("A.DAT"));
    QCOMPARE(w->state().OutFile, dir.file("A.FOI"));
    QCOMPARE(w->Text(Field::Text1), dir.file("A.DAT"));
    QCOMPARE(w->Text(Field::Text2), dir.file("A.FOI"));
    QCOMPARE(w->Text(Field::Text4), std::string());

    QVERIFY(w->showDirectory(QStringLiteral("/")));
    emit Child<FileList>(*w, "File1")->fileClicked(QStringLiteral("root.dat"));
    QCOMPARE(w->state().InFile, std::string("/root.dat"));
    QCOMPARE(w->state().OutFile, std::string("/root.FOI"));
  }

  void theFirstArgumentIsTakenAsAClickInTheFileList() {
    TempDir dir;
    WriteBytes(dir.file("arg.dat"), "x");
    Window w;
    w.openArgument(Q(dir.file("missing.dat")));
    QCOMPARE(ErrorLine(w), "  " + dir.file("missing.dat") + " - Input file not found !! ");
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
};

}  // namespace tarvelo::test

QTEST_MAIN(tarvelo::test::WindowTest)
#include "window_test.moc"
