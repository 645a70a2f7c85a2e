#include "app/export_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace tarvelo {

namespace {

// Four decimals of the chord, a hundredth of a percent.
constexpr int kDecimals = 4;

}  // namespace

QString ExportSuffix(const ExportFormat& format) { return QString::fromLatin1(format.file_ending); }
QString ExportFilter(const ExportFormat& format) { return QString::fromLatin1(format.file_filter); }

ExportDialog::ExportDialog(const OutlineSize& proposed, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Export Section"));
  format_ = new QComboBox(this);
  format_->setObjectName(QStringLiteral("format"));
  for (const ExportFormat& f : ExportFormats()) format_->addItem(tr(f.title));

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
  // The size is for the formats that draw the outline only.
  const auto sized = [this] {
    thickness_->setEnabled(format().needs_size);
    camber_->setEnabled(format().needs_size);
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

const ExportFormat& ExportDialog::format() const {
  return ExportFormats().at(static_cast<std::size_t>(format_->currentIndex()));
}

OutlineSize ExportDialog::size() const { return {thickness_->value(), camber_->value()}; }

}  // namespace tarvelo
