// TARVELO, the program's one window: the file selection lists, the four input
// fields, the three buttons and the display area. It holds the shared state;
// all checking and fitting is done by the core through the handlers it wires.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "app/file_lists.h"
#include "app/picture_box.h"
#include "fit/form.h"
#include "state/state.h"

class QAction;
class QLineEdit;
class QPushButton;

namespace tarvelo {

// The window's client area, 9525 x 8400 twips.
inline constexpr int kClientWidth = 635;
inline constexpr int kClientHeight = 560;

// "MS Sans Serif" 8.25 pt where installed, else the platform's sans-serif font.
QFont UiFont(bool bold);

class Window : public QWidget, public Form {
  Q_OBJECT

 public:
  explicit Window(QWidget* parent = nullptr);

  // The fields as the core sees them: 8-bit text, names in the file system's
  // encoding.
  std::string Text(Field f) const override;
  void SetText(Field f, const std::string& text) override;
  void EnableCommand3() override;
  std::string ListedDirectory() const override;

  State& state() { return state_; }
  PictureBox& picture1() { return *picture1_; }

  // Shows a directory in Dir1 and File1, Drive1 on its drive; false, with the
  // message on the display area, when it cannot be read.
  bool showDirectory(const QString& path);
  // A data file named on the command line or dropped on the window, taken as
  // if clicked in the file list; false, with the message on the display
  // area, when it cannot be.
  bool openDataFile(const QString& path);
  // The program's first argument: a data file, or a directory to list.
  void openArgument(const QString& arg);

  // Where "Import coordinates…" asks for its two file names: the file
  // dialogs, unless answers are put in their place. An empty name cancels.
  struct ImportDialogs {
    std::function<QString()> coordinateFile;
    std::function<QString(const QString& proposed)> sectionFile;
  };
  void setImportDialogs(ImportDialogs dialogs) { importDialogs_ = std::move(dialogs); }
  // The display area's menu action: imports a coordinate file, saves its
  // section data where chosen (proposed: <name>-section.dat beside it), takes
  // the saved file as the input file, as a click in the file list would, and
  // says on the display area what it wrote.
  void importCoordinates();

  // The display area's menu item that makes the runs place every data point
  // at its own chord position.
  QAction* exactPlacementAction() const { return exact_; }

 public slots:
  // Sets the enabled state of the window's actions in the display area's menu.
  void updateMenuActions();

 protected:
  // Enter or Return on a focused button presses it.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  void Drive1_Change(const QString& root);
  void Dir1_Change();
  void File1_Click(const QString& name);
  void Text1_Change();
  void Text2_Change();
  void Text3_Change();
  void Text4_Change();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void chooseFewestControlPoints();
  void placeExactly(bool on);
  // "Export section…": the section of the .FOI the last run wrote, as a
  // table or an outline, to a file the user picks.
  void exportSection();
  // "Section properties…": the figures of the section of the .FOI the last
  // run wrote, at its own size, as a table in a message box.
  void showSectionProperties();

 private:
  void buildControls();
  void buildMenuActions();
  bool openDir(const QString& path);
  void showError(const std::string& msg);
  // A warning box with the message of a .FOI that could not be read.
  void foilFileWarning(const Error& e);
  // Tells what the fewest count set and which file it wrote.
  void tellFewest(const CountChoice& choice);
  // Runs a core procedure; an exception it lets out must not end the program
  // from inside the event loop.
  template <class Fn>
  void guarded(Fn&& fn);

  State state_;
  DriveList* drive1_ = nullptr;
  DirList* dir1_ = nullptr;
  FileList* file1_ = nullptr;
  std::array<QLineEdit*, 4> text_{};
  std::array<QPushButton*, 3> command_{};
  PictureBox* picture1_ = nullptr;
  QAction* fewest_ = nullptr;
  QAction* exact_ = nullptr;
  QAction* exportAction_ = nullptr;
  QAction* propertiesAction_ = nullptr;
  // The directory last shown on each drive, where a drive reopens.
  QHash<QString, QString> dirOnDrive_;
  ImportDialogs importDialogs_;
};

}  // namespace tarvelo
