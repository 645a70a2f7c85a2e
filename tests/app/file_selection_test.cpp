// The drive, directory and file lists: what they show, how they follow each
// other, what a click in the file list fills in, and what cannot be read.
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "app_test_support.h"

namespace tarvelo::test {

namespace fs = std::filesystem;

namespace {

void Touch(const TempDir& dir, const std::string& name) { WriteBytes(dir.file(name), "x\r\n"); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Drops URLs onto the window; true when the drag was accepted.
bool Drop(Window& w, const QList<QUrl>& urls) {
  QMimeData mime;
  mime.setUrls(urls);
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  return drop.isAccepted();
}

}  // namespace

class FileSelectionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseFusion(); }

  void listsStartInTheCurrentDirectory() {
    TempDir dir;
    Touch(dir, "here.dat");
    const QString before = QDir::currentPath();
    QDir::setCurrent(Q(dir.path().string()));
    Window w;
    QDir::setCurrent(before);
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q(dir.path().string()));
    QCOMPARE(w.ListedDirectory(), dir.path().string());
    QCOMPARE(Child<FileList>(w, "File1")->names(), QStringList{"here.dat"});
    QVERIFY(PageLines(w).empty());
  }

  void theDriveListHasTheRootFirst() {
    Window w;
    const QStringList drives = Child<DriveList>(w, "Drive1")->drives();
    QVERIFY(!drives.isEmpty());
    QCOMPARE(drives.front(), QStringLiteral("/"));
    for (const QString& d : drives) QVERIFY2(QFileInfo(d).isDir(), qPrintable(d));
    QCOMPARE(drives.count(QStringLiteral("/")), 1);
  }

  void theFileListShowsDatFilesWhateverTheirCase() {
    TempDir dir;
    for (const char* name : {"b.dat", "A.DAT", "c.Dat", "d.txt", "e.dat.bak", "fdat"})
      Touch(dir, name);
    fs::create_directory(dir.path() / "sub.dat");
    auto w = OpenWindow(dir.path().string());
    QCOMPARE(Child<FileList>(*w, "File1")->names(), QStringList({"A.DAT", "b.dat", "c.Dat"}));
  }

  void clickingAFileWithACapitalExtensionNamesTheFoiFile() {
    TempDir dir;
    Touch(dir, "WING.DAT");
    auto w = OpenWindow(dir.path().string());
    Type(*w, "Text4", QStringLiteral("123"));
    QCOMPARE(w->state().OutFile, dir.file("Type123.FOI"));
    w->picture1().Print({"old screen"});

    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("WING.DAT")));
    QCOMPARE(w->state().InFile, dir.file("WING.DAT"));
    QCOMPARE(w->state().OutFile, dir.file("WING.FOI"));
    QCOMPARE(Bytes(Child<QLineEdit>(*w, "Text1")->text()), dir.file("WING.DAT"));
    QCOMPARE(Bytes(Child<QLineEdit>(*w, "Text2")->text()), dir.file("WING.FOI"));
    QCOMPARE(Child<QLineEdit>(*w, "Text4")->text(), QString());
    QVERIFY(PageLines(*w).empty());
  }

  void aFileInTheRootGetsASingleSeparator() {
    Window w;
    QVERIFY(w.showDirectory(QStringLiteral("/")));
    QCOMPARE(w.ListedDirectory(), std::string("/"));
    QCOMPARE(Child<DirList>(w, "Dir1")->pathAt(0), QStringLiteral("/"));
    // Whatever the root holds, a name clicked there is joined with one "/".
    emit Child<FileList>(w, "File1")->fileClicked(QStringLiteral("root.dat"));
    QCOMPARE(w.state().InFile, std::string("/root.dat"));
    QCOMPARE(w.state().OutFile, std::string("/root.FOI"));
    QCOMPARE(w.Text(Field::Text1), std::string("/root.dat"));
    // The foil number's name likewise.
    Type(w, "Text4", QStringLiteral("200"));
    QCOMPARE(w.state().OutFile, std::string("/Type200.FOI"));
  }

  void movingThroughTheFileListWithTheKeysIsAClick() {
    TempDir dir;
    Touch(dir, "first.dat");
    Touch(dir, "second.dat");
    auto w = OpenWindow(dir.path().string());
    FileList* file1 = Child<FileList>(*w, "File1");
    file1->setFocus();
    QTest::keyClick(file1, Qt::Key_Down);
    const std::string picked = w->state().InFile;
    QVERIFY(picked == dir.file("first.dat") || picked == dir.file("second.dat"));
    QTest::keyClick(file1, Qt::Key_End);
    QCOMPARE(w->state().InFile, dir.file("second.dat"));
    QCOMPARE(w->state().OutFile, dir.file("second.FOI"));
  }

  void clickingTheSameFileAgainDropsALaterFoilNumber() {
    TempDir dir;
    Touch(dir, "a.dat");
    auto w = OpenWindow(dir.path().string());
    QListWidget* file1 = Child<QListWidget>(*w, "File1");
    QVERIFY(ClickItem(file1, QStringLiteral("a.dat")));
    Type(*w, "Text4", QStringLiteral("150"));
    QCOMPARE(w->state().OutFile, dir.file("Type150.FOI"));
    QVERIFY(ClickItem(file1, QStringLiteral("a.dat")));
    QCOMPARE(w->state().OutFile, dir.file("a.FOI"));
    QCOMPARE(Child<QLineEdit>(*w, "Text4")->text(), QString());
  }

  void openingADirectoryListsItsFilesAndChangesNothingElse() {
    TempDir dir;
    fs::create_directory(dir.path() / "sub");
    WriteBytes((dir.path() / "sub" / "s.dat").string(), "x");
    auto w = OpenWindow(dir.path().string());
    w->picture1().Print({"shown"});
    DirList* dir1 = Child<DirList>(*w, "Dir1");
    QVERIFY(DoubleClickItem(dir1, QStringLiteral("sub")));
    QCOMPARE(dir1->path(), Q((dir.path() / "sub").string()));
    QCOMPARE(Child<FileList>(*w, "File1")->names(), QStringList{"s.dat"});
    QCOMPARE(w->ListedDirectory(), (dir.path() / "sub").string());
    QCOMPARE(PageLines(*w), std::vector<std::string>{"shown"});
    QCOMPARE(w->state().InFile, std::string());

    // Back up to the parent through its entry on the way down.
    const int parentRow = dir1->row(dir1->currentItem()) - 1;
    dir1->setCurrentRow(parentRow);
    QTest::keyClick(dir1, Qt::Key_Return);
    QCOMPARE(dir1->path(), Q(dir.path().string()));
  }

  void aDirectoryThatCannotBeReadIsReportedAndTheListsStay() {
    TempDir dir;
    Touch(dir, "stay.dat");
    fs::create_directory(dir.path() / "gone");
    auto w = OpenWindow(dir.path().string());
    DirList* dir1 = Child<DirList>(*w, "Dir1");
    fs::remove(dir.path() / "gone");
    QVERIFY(DoubleClickItem(dir1, QStringLiteral("gone")));
    QCOMPARE(ErrorLine(*w), "  " + dir.file("gone") + " - Directory could not be read !! ");
    QCOMPARE(dir1->path(), Q(dir.path().string()));
    QCOMPARE(Child<FileList>(*w, "File1")->names(), QStringList{"stay.dat"});
    // And the program goes on.
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QStringLiteral("stay.dat")));
    QCOMPARE(w->state().InFile, dir.file("stay.dat"));
  }

  void aDriveThatIsNotAvailableIsReportedAndTheListGoesBack() {
    TempDir dir;
    Window w;
    DriveList* drive1 = Child<DriveList>(w, "Drive1");
    const QString missing = Q(dir.file("no-such-drive"));
    drive1->setDrives({QStringLiteral("/"), missing});
    QVERIFY(w.showDirectory(Q(dir.path().string())));
    drive1->setFocus();
    QTest::keyClick(drive1, Qt::Key_Down);
    QCOMPARE(ErrorLine(w), "  " + dir.file("no-such-drive") + " - Drive not available !! ");
    QCOMPARE(drive1->drive(), QStringLiteral("/"));
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q(dir.path().string()));
  }

  void aDriveReopensOnTheDirectoryLastShownThere() {
    TempDir home;
    TempDir other;
    WriteBytes(other.file("o.dat"), "x");
    Window w;
    DriveList* drive1 = Child<DriveList>(w, "Drive1");
    drive1->setDrives({QStringLiteral("/"), Q(other.path().string())});
    QVERIFY(w.showDirectory(Q(home.path().string())));
    QCOMPARE(drive1->drive(), QStringLiteral("/"));

    drive1->setFocus();
    QTest::keyClick(drive1, Qt::Key_Down);
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q(other.path().string()));
    QCOMPARE(Child<FileList>(w, "File1")->names(), QStringList{"o.dat"});
    QTest::keyClick(drive1, Qt::Key_Up);
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q(home.path().string()));
    QVERIFY(PageLines(w).empty());
  }

  void aDroppedDataFileIsTakenAsIfClicked() {
    TempDir dir;
    fs::create_directory(dir.path() / "x");
    const std::string data = (dir.path() / "x" / "F.DAT").string();
    WriteBytes(data, "x");
    WriteBytes(dir.file("notes.txt"), "x");
    Window w;
    QVERIFY(!Drop(w, {QUrl::fromLocalFile(Q(dir.file("notes.txt")))}));
    QVERIFY(!Drop(w, {QUrl(QStringLiteral("https://example.org/a.dat"))}));
    QCOMPARE(w.state().InFile, std::string());

    QVERIFY(Drop(w, {QUrl::fromLocalFile(Q(dir.file("notes.txt"))), QUrl::fromLocalFile(Q(data))}));
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q((dir.path() / "x").string()));
    QCOMPARE(Child<FileList>(w, "File1")->currentItem()->text(), QStringLiteral("F.DAT"));
    QCOMPARE(w.state().InFile, data);
    QCOMPARE(w.state().OutFile, (dir.path() / "x" / "F.FOI").string());
    QCOMPARE(w.Text(Field::Text2), (dir.path() / "x" / "F.FOI").string());
  }

  void theFirstArgumentOpensAFileOrADirectory() {
    TempDir dir;
    fs::create_directory(dir.path() / "d");
    WriteBytes((dir.path() / "d" / "arg.dat").string(), "x");
    WriteBytes(dir.file("plain.txt"), "x");

    Window w;
    w.openArgument(Q((dir.path() / "d").string()));
    QCOMPARE(Child<DirList>(w, "Dir1")->path(), Q((dir.path() / "d").string()));
    QCOMPARE(w.state().InFile, std::string());

    w.openArgument(Q((dir.path() / "d" / "arg.dat").string()));
    QCOMPARE(w.state().InFile, (dir.path() / "d" / "arg.dat").string());
    QCOMPARE(w.state().OutFile, (dir.path() / "d" / "arg.FOI").string());

    w.openArgument(Q(dir.file("missing.dat")));
    QCOMPARE(ErrorLine(w), "  " + dir.file("missing.dat") + " - Input file not found !! ");
    w.openArgument(Q(dir.file("plain.txt")));
    QCOMPARE(ErrorLine(w), "  " + dir.file("plain.txt") + " - Input file not valid !! ");
    QCOMPARE(w.state().InFile, (dir.path() / "d" / "arg.dat").string());
  }

  void namesReachTheCoreInTheFileSystemsEncoding() {
    TempDir dir;
    const std::string name = "Fl\xC3\xBCgel \xE2\x80\x93 1.dat";  // UTF-8 on disk
    WriteBytes(dir.file(name), "x");
    auto w = OpenWindow(dir.path().string());
    QVERIFY(ClickItem(Child<QListWidget>(*w, "File1"), QString::fromUtf8(name.c_str())));
    QCOMPARE(w->state().InFile, dir.file(name));
    QCOMPARE(w->Text(Field::Text1), dir.file(name));
    QCOMPARE(w->state().OutFile, dir.file("Fl\xC3\xBCgel \xE2\x80\x93 1.FOI"));
  }
};

}  // namespace tarvelo::test

QTEST_MAIN(tarvelo::test::FileSelectionTest)
#include "file_selection_test.moc"
