// The window as it opens, and what the fields and buttons do when typed into
// and pressed through the real widgets.
#include <QClipboard>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSet>

#include "app_test_support.h"

namespace tarvelo::test {

namespace {

struct Expected {
  const char* name;
  const char* kind;  // Qt class the control is built from
  int left, top, width, height;  // twips
  const char* text;
  bool bold;
};

// The layout in twips, converted at 15 twips to the pixel.
const Expected kControls[] = {
    {"Drive1", "QComboBox", 240, 240, 2295, 315, nullptr, false},
    {"Dir1", "QListWidget", 240, 600, 2295, 1890, nullptr, false},
    {"File1", "QListWidget", 240, 2520, 2295, 1650, nullptr, false},
    {"Label1", "QLabel", 240, 4320, 2295, 255, "Input-File", true},
    {"Text1", "QLineEdit", 240, 4560, 2295, 285, "Input-File", false},
    {"Label2", "QLabel", 240, 4920, 2295, 255, "Output-File ", true},
    {"Text2", "QLineEdit", 240, 5160, 2295, 285, "Output-File", false},
    {"Label4", "QLabel", 240, 5520, 2535, 255, "3 digits for std foil file name", true},
    {"Text4", "QLineEdit", 240, 5760, 615, 285, "", false},
    {"Label6", "QLabel", 1440, 5760, 1335, 255, "(101 .... 255)", true},
    {"Label3", "QLabel", 240, 6120, 2535, 255, "No. of Control Points (Std=8)", true},
    {"Text3", "QLineEdit", 240, 6360, 375, 285, "8", false},
    {"Label5", "QLabel", 1080, 6360, 1695, 255, " (Max=20, Min = 4)", true},
    {"Command1", "QPushButton", 240, 6960, 2295, 255, "Start", true},
    {"Command2", "QPushButton", 240, 7320, 2295, 255, "Terminate ", true},
    {"Command3", "QPushButton", 1320, 7920, 1335, 255, "Next Screen", true},
    {"Picture1", "QAbstractScrollArea", 2880, 240, 6400, 7920, nullptr, false},
};

QRect Pixels(const Expected& e) {
  auto px = [](int twips) { return qRound(twips / 15.0); };
  return QRect(px(e.left), px(e.top), px(e.width), px(e.height));
}

QString Caption(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->text();
  return {};
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void opensWithEveryControlOfTheLayout() {
    Window w;
    QCOMPARE(w.objectName(), QStringLiteral("TARVELO"));
    QCOMPARE(w.windowTitle(), QStringLiteral("TARVELO I/O"));
    QCOMPARE(w.size(), QSize(635, 560));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
    QVERIFY(w.findChildren<QMenuBar*>().isEmpty());

    for (const Expected& e : kControls) {
      QWidget* c = w.findChild<QWidget*>(QString::fromLatin1(e.name));
      QVERIFY2(c != nullptr, e.name);
      QVERIFY2(c->inherits(e.kind), e.name);
      QCOMPARE(c->geometry(), Pixels(e));
      if (e.text) QCOMPARE(Caption(c), QString::fromLatin1(e.text));
      QCOMPARE(QFontInfo(c->font()).bold(), e.bold);
      QCOMPARE(QFontInfo(c->font()).pixelSize(), 11);
    }
    // The client area of 9525 x 8400 twips.
    QCOMPARE(Pixels({"", "", 0, 0, 9525, 8400, nullptr, false}).size(), QSize(635, 560));
  }

  void controlsDoNotOverlapAndCaptionsFit() {
    Window w;
    for (const Expected& a : kControls) {
      for (const Expected& b : kControls) {
        if (&a == &b) continue;
        // A label's last pixel row lies on the control below it (4320 + 255 >
        // 4560 twips); its text stands at its top. Nothing else meets.
        const QRect both = Pixels(a).intersected(Pixels(b));
        auto lastRowOf = [&](const Expected& label) {
          return std::string(label.kind) == "QLabel" && both.height() == 1 &&
                 both.top() == Pixels(label).bottom();
        };
        QVERIFY2(both.isEmpty() || lastRowOf(a) || lastRowOf(b), a.name);
      }
      QWidget* c = Child<QWidget>(w, a.name);
      if (auto* l = qobject_cast<QLabel*>(c))
        QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(), a.name);
      if (auto* b = qobject_cast<QPushButton*>(c))
        QVERIFY2(QFontMetrics(b->font()).horizontalAdvance(b->text()) < b->width(), a.name);
    }
  }

  void fieldsAndDisplayAreaHaveTheirBackground() {
    Window w;
    const QColor light(0xE0, 0xE0, 0xE0);
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Dir1", "File1"})
      QCOMPARE(Child<QWidget>(w, name)->palette().color(QPalette::Base), light);
    w.show();
    const QImage shot = w.grab().toImage();
    // Inside the display area, away from its border; and the window itself.
    QCOMPARE(shot.pixelColor(400, 300), light);
    QCOMPARE(shot.pixelColor(180, 300), QColor(0xC0, 0xC0, 0xC0));
  }

  void displayAreaHoldsThirtySevenLinesOfSixtyCharacters() {
    Window w;
    PictureBox& pic = w.picture1();
    QVERIFY(QFontInfo(pic.painter().font()).fixedPitch());
    QCOMPARE(pic.surfaceSize(), QSize(423, 524));  // 6345 x 7860 twips inside the border
    QVERIFY(pic.painter().linesThatFit(pic.surfaceSize().height()) >= 37);
    QVERIFY(60 * pic.painter().charWidth() <= pic.surfaceSize().width());
  }

  void startsEmptyWithNextScreenDisabledAndFocusInTheDriveList() {
    Window w;
    QVERIFY(!Child<QPushButton>(w, "Command3")->isEnabled());
    QCOMPARE(w.focusWidget(), Child<QWidget>(w, "Drive1"));
    QCOMPARE(Child<QLineEdit>(w, "Text1")->text(), QStringLiteral("Input-File"));
    QCOMPARE(Child<QLineEdit>(w, "Text2")->text(), QStringLiteral("Output-File"));
    QCOMPARE(Child<QLineEdit>(w, "Text3")->text(), QStringLiteral("8"));
    QCOMPARE(Child<QLineEdit>(w, "Text4")->text(), QString());
    // The initial texts are not copied into the shared state.
    QCOMPARE(w.state().InFile, std::string());
    QCOMPARE(w.state().OutFile, std::string());
    QCOMPARE(w.state().ncp, 0.0);
    QCOMPARE(w.state().nScreen, std::int16_t{0});
    QVERIFY(PageLines(w).empty());
  }

  void tabOrderRunsThroughTheFocusableControls() {
    Window w;
    const QSet<QString> ours = {"Drive1", "Dir1",     "File1",    "Text1",    "Text2", "Text3",
                                "Text4",  "Picture1", "Command1", "Command2", "Command3"};
    auto chain = [&] {
      QStringList order;
      QWidget* at = Child<QWidget>(w, "Drive1");
      do {
        if (ours.contains(at->objectName()) && at->isEnabled() &&
            (at->focusPolicy() & Qt::TabFocus))
          order << at->objectName();
        at = at->nextInFocusChain();
      } while (at != Child<QWidget>(w, "Drive1"));
      return order;
    };
    QCOMPARE(chain(), QStringList({"Drive1", "Dir1", "File1", "Text1", "Text2", "Text3",
                                   "Picture1", "Command1", "Command2", "Text4"}));
    w.EnableCommand3();
    QCOMPARE(chain(), QStringList({"Drive1", "Dir1", "File1", "Text1", "Text2", "Text3",
                                   "Picture1", "Command1", "Command2", "Command3", "Text4"}));
    for (const char* label : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
      QCOMPARE(Child<QWidget>(w, label)->focusPolicy(), Qt::NoFocus);
  }

  void controlsKeepTheirPlacesWhenTheWindowIsResized() {
    Window w;
    w.show();
    w.resize(900, 700);
    QCoreApplication::processEvents();
    for (const Expected& e : kControls) QCOMPARE(Child<QWidget>(w, e.name)->geometry(), Pixels(e));
    w.resize(300, 200);
    QCoreApplication::processEvents();
    QCOMPARE(w.picture1().geometry(), Pixels(kControls[16]));
  }

  void startAtOnceIsAnsweredByTheNameCheck() {
    Window w;
    Press(w, "Command1");
    QCOMPARE(ErrorLine(w), std::string("  [Input-File] as input file name invalid !!"));
    QVERIFY(!Child<QPushButton>(w, "Command3")->isEnabled());
  }

  // ---- the foil number field ----

  void typingAFoilNumberDigitByDigitNamesTheOutputFile() {
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    const std::string before = w->state().OutFile;
    for (const char* digit : {"1", "2"}) {
      w->picture1().Print({"something shown"});
      Type(*w, "Text4", QString::fromLatin1(digit));
      QVERIFY(PageLines(*w).empty());  // cleared at each digit
      QCOMPARE(w->state().OutFile, before);
    }
    w->picture1().Print({"something shown"});
    Type(*w, "Text4", QStringLiteral("3"));
    const std::string type123 = dir.file("Type123.FOI");
    QCOMPARE(w->state().OutFile, type123);
    QCOMPARE(Bytes(Child<QLineEdit>(*w, "Text2")->text()), type123);
    QVERIFY(PageLines(*w).empty());

    // A fourth digit: the message stays, the name is the same.
    Type(*w, "Text4", QStringLiteral("4"));
    QCOMPARE(ErrorLine(*w), std::string("   Only the first 3 digits are used for filename !!"));
    QCOMPARE(Child<QLineEdit>(*w, "Text4")->text(), QStringLiteral("1234"));
    QCOMPARE(w->state().OutFile, type123);
  }

  void fourDigitsPastedAtOnceEndWithTheNewNameAndAClearArea() {
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    Child<QLineEdit>(*w, "Text4")->insert(QStringLiteral("2345"));
    QCOMPARE(w->state().OutFile, dir.file("Type234.FOI"));
    QVERIFY(PageLines(*w).empty());
  }

  void foilNumbersOutsideTheRangeAreRefusedAndEmptied_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("100") << "100";
    QTest::newRow("256") << "256";
    QTest::newRow("099") << "099";
    QTest::newRow("000") << "000";
  }
  void foilNumbersOutsideTheRangeAreRefusedAndEmptied() {
    QFETCH(QString, typed);
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    Child<QLineEdit>(*w, "Text2")->selectAll();
    Type(*w, "Text2", QStringLiteral("kept.FOI"));
    Type(*w, "Text4", typed);
    QCOMPARE(ErrorLine(*w), std::string("   Numbers between 101 and 255 are allowed !!"));
    QCOMPARE(Child<QLineEdit>(*w, "Text4")->text(), QString());
    QCOMPARE(w->state().OutFile, std::string("kept.FOI"));
  }

  void foilNumbersAtBothEndsOfTheRangeAreTaken_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("101") << "101" << "Type101.FOI";
    QTest::newRow("255") << "255" << "Type255.FOI";
    QTest::newRow("blanks around") << " 123 " << "Type123.FOI";
  }
  void foilNumbersAtBothEndsOfTheRangeAreTaken() {
    QFETCH(QString, typed);
    QFETCH(QString, name);
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    Type(*w, "Text4", typed);
    QCOMPARE(w->state().OutFile, dir.file(name.toStdString()));
    QCOMPARE(ErrorLine(*w), std::string());
  }

  void aLetterInTheFoilNumberStaysAndChangesNoName() {
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    Type(*w, "Text2", QStringLiteral("x"));
    const std::string out = w->state().OutFile;
    Type(*w, "Text4", QStringLiteral("a"));
    QCOMPARE(ErrorLine(*w), std::string("   Only numbers are allowed !! "));
    QCOMPARE(Child<QLineEdit>(*w, "Text4")->text(), QStringLiteral("a"));
    QCOMPARE(w->state().OutFile, out);
    QCOMPARE(Bytes(Child<QLineEdit>(*w, "Text2")->text()), out);
  }

  // ---- the control point count ----

  void aBlankInTheCountEmptiesTheFieldAndKeepsTheCount() {
    Window w;
    QLineEdit* text3 = Child<QLineEdit>(w, "Text3");
    text3->selectAll();
    Type(w, "Text3", QStringLiteral("12"));
    QCOMPARE(w.state().ncp, 12.0);
    Type(w, "Text3", QStringLiteral(" "));
    QCOMPARE(ErrorLine(w), std::string("   Only numbers are allowed !!"));
    QCOMPARE(text3->text(), QString());
    QCOMPARE(w.state().ncp, 12.0);
  }

  void deletingTheCountKeepsItsLastValue() {
    Window w;
    QLineEdit* text3 = Child<QLineEdit>(w, "Text3");
    Type(w, "Text3", QStringLiteral("2"));  // "82"
    QCOMPARE(w.state().ncp, 82.0);
    text3->selectAll();
    QTest::keyClick(text3, Qt::Key_Delete);
    QCOMPARE(text3->text(), QString());
    QCOMPARE(w.state().ncp, 82.0);
    QVERIFY(PageLines(w).empty());
  }

  void leadingZerosOfTheCountAreDropped() {
    Window w;
    QLineEdit* text3 = Child<QLineEdit>(w, "Text3");
    text3->clear();
    Type(w, "Text3", QStringLiteral("08"));
    QCOMPARE(text3->text(), QStringLiteral("8"));
    QCOMPARE(w.state().ncp, 8.0);
    text3->clear();
    Type(w, "Text3", QStringLiteral("000"));
    QCOMPARE(text3->text(), QStringLiteral("0"));
  }

  // Whatever lands in the fields, the program answers and goes on.
  void noFieldInputCrashesOrHangs_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("left");
    const QString digits400 = QString(400, QLatin1Char('9'));
    QTest::newRow("400-digit count") << "Text3" << digits400 << digits400;
    QTest::newRow("400 zeros then 7") << "Text3" << QString(400, QLatin1Char('0')) + "7" << "7";
    QTest::newRow("letters in count") << "Text3" << "abc" << "";
    QTest::newRow("blanks in count") << "Text3" << "   " << "";
    QTest::newRow("negative count") << "Text3" << "-5" << "";
    // The first three digits, 999, are out of range: the field is emptied.
    QTest::newRow("400-digit foil number") << "Text4" << digits400 << "";
    QTest::newRow("four digits in foil number") << "Text4" << "1234" << "1234";
    QTest::newRow("blanks in foil number") << "Text4" << "    " << "    ";
    QTest::newRow("non-ASCII in foil number") << "Text4" << QString::fromUtf8("１２３") << QString::fromUtf8("１２３");
    QTest::newRow("long input name") << "Text1" << QString(5000, QLatin1Char('a')) << QString(5000, QLatin1Char('a'));
  }
  void noFieldInputCrashesOrHangs() {
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, left);
    TempDir dir;
    auto w = OpenWindow(dir.path().string());
    QLineEdit* edit = Child<QLineEdit>(*w, field.toLatin1().constData());
    edit->selectAll();
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), left);
    // Start still answers with a message, not a crash.
    Press(*w, "Command1");
    QVERIFY(!ErrorLine(*w).empty());
  }

  void aFourHundredDigitCountTypedKeyByKeyIsRefusedAtStart() {
    TempDir dir;
    const std::string data = dir.file("a.dat");
    WriteBytes(data, ReadBytes(ExamplePath("naca0012.dat")));
    auto w = OpenWindow(dir.path().string());
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("a.dat")));
    QLineEdit* text3 = Child<QLineEdit>(*w, "Text3");
    text3->clear();
    Type(*w, "Text3", QString(400, QLatin1Char('7')));
    QCOMPARE(text3->text().size(), 400);
    Press(*w, "Command1");
    QCOMPARE(ErrorLine(*w), std::string("   4 to 20 control points are allowed !! "));
    QVERIFY(Child<QPushButton>(*w, "Command3")->isEnabled());
  }

  // ---- buttons ----

  void terminateEndsTheProgram() {
    Window w;
    w.show();
    Press(w, "Command2");
    QVERIFY(!w.isVisible());
  }

  void settingAFieldToItsOwnTextRunsNoHandler() {
    Window w;
    w.picture1().Print({"kept"});
    w.SetText(Field::Text1, "Input-File");
    QCOMPARE(PageLines(w), std::vector<std::string>{"kept"});
    w.SetText(Field::Text1, "b.dat");
    QVERIFY(PageLines(w).empty());
    QCOMPARE(w.state().InFile, std::string("b.dat"));
    QCOMPARE(w.Text(Field::Text1), std::string("b.dat"));
  }
};

}  // namespace tarvelo::test

QTEST_MAIN(tarvelo::test::WindowTest)
#include "window_test.moc"
