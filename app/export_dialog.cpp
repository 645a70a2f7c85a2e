#include "app/export_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace tarvelo {

namespace {

struct FormatText {
  const char* item;    // as the dialog lists it
  const char* suffix;  // after the .FOI's base name
  const char* filter;
};

// In the order of ExportFormat.
constexpr FormatText kFormats[] = {
    {"Table of thickness and camber", "-table.txt", "Text files (*.txt)"},
    {"Selig coordinates", "-selig.txt", "Text files (*.txt)"},
    {"DXF outline", ".dxf", "DXF drawings (*.dxf)"},
    {"SVG outline", ".svg", "SVG drawings (*.svg)"},
};

const FormatText& TextOf(ExportFormat format) { return kFormats[static_cast<int>(format)]; }

// Four decimals of the chord, a hundredth of a percent.
constexpr int kDecimals = 4;

}  // namespace

std::string ExportBytes(const FoilSpline& foil, ExportFormat format, const OutlineSize& size) {
  switch (format) {
    case ExportFormat::Table: return ExportTable(foil, CosineStations(41));
    case ExportFormat::Selig: return ExportSelig(foil, size, 81);
    case ExportFormat::Dxf: return ExportDxf(foil, size);
    case ExportFormat::Svg: return ExportSvg(foil, size);
  }
  return {};
}

QString ExportSuffix(ExportFormat format) { return QString::fromLatin1(TextOf(format).suffix); }
QString ExportFilter(ExportFormat format) { return QString::fromLatin1(TextOf(format).filter); }

ExportDialog::ExportDialog(const OutlineSize& proposed, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Export Section"));
  format_ = new QComboBox(this);
  format_->setObjectName(QStringLiteral("format"));
  for (const FormatText& f : kFormats) format_->addItem(tr(f.item));

  const auto field = [this](const char* name, double lowest, double value) {
    auto* box = new QDoubleSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setDecimals(kDecimals);
    box->setRange(lowest, 1);
    box->setSingleStep(0.005);
    box->setValue(value);
    return box;
  };
  thickness_ = field("thickness", 0.0001, proposed.thickness);
  camber_ = field("camber", -1, proposed.camber);
  // The table is normalised: the size is for the outlines only.
  const auto sized = [this] {
    const bool outline = format() != ExportFormat::Table;
    thickness_->setEnabled(outline);
    camber_->setEnabled(outline);
  };
  connect(format_, &QComboBox::currentIndexChanged, this, sized);
  sized();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout(this);
  form->addRow(tr("Format"), format_);
  form->addRow(tr("Largest thickness t/c"), thickness_);
  form->addRow(tr("Largest camber f/c"), camber_);
  form->addRow(buttons);
}

ExportFormat ExportDialog::format() const { return static_cast<ExportFormat>(format_->currentIndex()); }

OutlineSize ExportDialog::size() const { return {thickness_->value(), camber_->value()}; }

}  // namespace tarvelo
