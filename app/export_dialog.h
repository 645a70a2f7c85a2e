// "Export section…" of the display area's menu: the small dialog that asks
// for the format and the outline's largest thickness and camber.
#pragma once

#include <tarvelo/tarvelo.h>

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvelo {

// What the save dialog proposes for a format: the file name's ending after
// the .FOI's base name, and the filter.
QString ExportSuffix(const ExportFormat& format);
QString ExportFilter(const ExportFormat& format);

class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens with the first format of the library's list chosen and the
  // proposed size in its fields, naming the .FOI exported. A section
  // without camber takes none: its camber field holds 0 and stays disabled,
  // as does the lay-off across the mean line, which changes nothing then.
  ExportDialog(const OutlineSize& proposed, const QString& foilFile, bool symmetric,
               QWidget* parent = nullptr);

  const ExportFormat& format() const;
  // The size accepted; only after the dialog was accepted.
  OutlineSize size() const { return size_; }
  // Across where the box is ticked and the format and section take it:
  // formats that draw the outline's coordinates, a section with camber.
  Layoff layoff() const;

 public slots:
  // Closes only with a size the outline can take; otherwise the dialog says
  // why below the fields and stays open on the field to mend.
  void accept() override;

 private:
  QComboBox* format_ = nullptr;
  QLineEdit* thickness_ = nullptr;
  QLineEdit* camber_ = nullptr;
  QCheckBox* across_ = nullptr;
  QLabel* reason_ = nullptr;
  bool symmetric_ = false;
  OutlineSize size_;
};

}  // namespace tarvelo
