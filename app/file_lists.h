// The three chained lists of the file selection: drives, directories, and the
// "*.dat" files of one directory. They only show and report; the window
// chains them and shows what cannot be read.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace tarvelo {

// The file list's pattern; matched without regard to case.
inline constexpr const char* kFilePattern = "*.dat";

// A directory that can be listed and entered.
bool CanList(const QString& path);

// Drive1: on a system without drive letters, the mounted file systems, the
// root first; just the root when nothing else can be found.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // Lists the drives anew.
  void refresh();
  // Lists the given roots instead of the mounted ones.
  void setDrives(const QStringList& roots);
  QStringList drives() const;
  QString drive() const { return currentText(); }
  // The listed drive that holds a path (the longest root it lies under).
  QString driveOf(const QString& path) const;
  // Shows a drive without reporting a change.
  void setDrive(const QString& root);

 signals:
  // The user chose another drive.
  void driveChanged(const QString& root);

 protected:
  // A file system mounted since the window opened shows up when the list opens.
  void showPopup() override;

 private:
  bool mounted_ = false;  // the list shows the mounted file systems
  int shown_ = -1;
};

// Dir1: the path from the root down to the directory shown, then its
// subdirectories. Activating an entry (double click, Enter) opens it.
class DirList : public QListWidget {
  Q_OBJECT

 public:
  explicit DirList(QWidget* parent = nullptr);

  // Shows a directory; the caller has checked that it can be listed.
  void setPath(const QString& path);
  QString path() const { return path_; }
  // Path of the entry in a row.
  QString pathAt(int row) const;

 signals:
  // The user opened another directory.
  void openRequested(const QString& path);

 private:
  QString path_;
  int indent_ = 0;  // pixels per level
};

// File1: the names in one directory that match the pattern, sorted.
class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  void setPath(const QString& path);
  QString path() const { return path_; }
  QStringList names() const;
  // Selects a name without reporting a click; false when it is not listed.
  bool selectName(const QString& name);

 signals:
  // The user selected a file, by mouse or keyboard.
  void fileClicked(const QString& name);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString path_;
};

}  // namespace tarvelo
