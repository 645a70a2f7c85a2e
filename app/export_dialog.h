// "Export section…" of the display area's menu: the small dialog that asks
// for the format and the outline's largest thickness and camber, and the
// bytes of each format.
#pragma once

#include <tarvelo/tarvelo.h>

#include <QDialog>
#include <QString>
#include <string>

class QComboBox;
class QDoubleSpinBox;

namespace tarvelo {

enum class ExportFormat { Table, Selig, Dxf, Svg };

// The export of a stored section in a format: the table at 41 and Selig
// coordinates at 81 cosine-spaced stations per surface, as tarvelo-export
// writes them by default.
std::string ExportBytes(const FoilSpline& foil, ExportFormat format, const OutlineSize& size);

// What the save dialog proposes for a format: the file name's ending after
// the .FOI's base name, and the filter.
QString ExportSuffix(ExportFormat format);
QString ExportFilter(ExportFormat format);

class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  // Opens with the table chosen and the proposed size in its fields.
  explicit ExportDialog(const OutlineSize& proposed, QWidget* parent = nullptr);

  ExportFormat format() const;
  OutlineSize size() const;

 private:
  QComboBox* format_ = nullptr;
  QDoubleSpinBox* thickness_ = nullptr;
  QDoubleSpinBox* camber_ = nullptr;
};

}  // namespace tarvelo
