#include "app/export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <charconv>
#include <optional>
#include <string>
#include <tuple>

namespace tarvelo {

namespace {

// A number as typed, with a decimal point whatever the locale; nothing else
// around it but blanks.
std::optional<double> Number(const QString& text) {
  std::string s = text.trimmed().toStdString();
  if (!s.empty() && s.front() == '+') s.erase(0, 1);
  double v = 0;
  const auto [end, err] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || err != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

struct SizeField {
  const char* name;  // of the line edit
  const char* label;
  const char* what;   // in a reason
  const char* range;  // in a reason
  const char* example;
  double lowest;
  bool lowestIncluded;
};

// The ranges SectionOutline takes.
constexpr SizeField kThickness{"thickness", "Largest thickness, fraction of chord: 0.12 = 12 %",
                               "The largest thickness", "above 0 and at most 1", "0.12 = 12 %",
                               0, false};
constexpr SizeField kCamber{"camber", "Largest camber, fraction of chord: 0.02 = 2 %",
                            "The largest camber", "from -1 to 1", "0.02 = 2 %", -1, true};

// Why a field's text is no size, or empty when it is one.
QString Refusal(const SizeField& field, const QString& text, double& value) {
  const std::optional<double> v = Number(text);
  const QString example = QLatin1String(field.example);
  if (!v)
    return QStringLiteral("\u201c%1\u201d is not a number. %2 is a fraction of the chord, "
                          "written with a decimal point: %3.")
        .arg(text.trimmed(), QLatin1String(field.what), example);
  const bool inRange = (field.lowestIncluded ? *v >= field.lowest : *v > field.lowest) && *v <= 1;
  if (!inRange)
    return QStringLiteral("%1 must be %2 (a fraction of the chord: %3); %4 is not.")
        .arg(QLatin1String(field.what), QLatin1String(field.range), example, text.trimmed());
  value = *v;
  return {};
}

}  // namespace

QString ExportSuffix(const ExportFormat& format) { return QString::fromLatin1(format.file_ending); }
QString ExportFilter(const ExportFormat& format) { return QString::fromLatin1(format.file_filter); }

ExportDialog::ExportDialog(const OutlineSize& proposed, const QString& foilFile, bool symmetric,
                           QWidget* parent)
    : QDialog(parent), symmetric_(symmetric) {
  setWindowTitle(tr("Export Section"));
  format_ = new QComboBox(this);
  format_->setObjectName(QStringLiteral("format"));
  for (const ExportFormat& f : ExportFormats()) {
    format_->addItem(tr(f.title));
    format_->setItemData(format_->count() - 1, QString::fromUtf8(f.description), Qt::ToolTipRole);
  }

  const auto field = [this](const SizeField& f, double value) {
    auto* edit = new QLineEdit(QString::number(value, 'g', 6), this);
    edit->setObjectName(QString::fromLatin1(f.name));
    edit->setToolTip(QString::fromLatin1(f.label));
    return edit;
  };
  thickness_ = field(kThickness, proposed.thickness);
  camber_ = field(kCamber, symmetric ? 0.0 : proposed.camber);
  reason_ = new QLabel(this);
  reason_->setObjectName(QStringLiteral("reason"));
  reason_->setWordWrap(true);
  QPalette pal = reason_->palette();
  pal.setColor(QPalette::WindowText, Qt::red);
  reason_->setPalette(pal);

  across_ = new QCheckBox(tr("Thickness laid off across the mean line, as published tables do"), this);
  across_->setObjectName(QStringLiteral("across"));
  across_->setToolTip(tr("Off: at the same chord position as the camber (vertically). On: normal to the "
                         "mean line; DXF, SVG and STEP then draw the outline within 1e-9 of the chord."));

  // The size is for the formats that draw the outline only, the lay-off
  // for those that draw its coordinates.
  const auto sized = [this] {
    thickness_->setEnabled(format().needs_size);
    camber_->setEnabled(format().needs_size && !symmetric_);
    across_->setEnabled(format().takes_layoff && !symmetric_);
    reason_->clear();
  };
  connect(format_, &QComboBox::currentIndexChanged, this, sized);
  sized();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* file = new QLabel(foilFile, this);
  file->setObjectName(QStringLiteral("section"));
  file->setWordWrap(true);
  file->setTextFormat(Qt::PlainText);

  auto* form = new QFormLayout(this);
  // The dialog follows what its labels need: a reason of several lines is
  // seen whole.
  form->setSizeConstraint(QLayout::SetMinimumSize);
  form->addRow(tr("Section"), file);
  form->addRow(tr("Format"), format_);
  form->addRow(QString::fromLatin1(kThickness.label), thickness_);
  form->addRow(QString::fromLatin1(kCamber.label), camber_);
  form->addRow(across_);
  form->addRow(reason_);
  form->addRow(buttons);
}

const ExportFormat& ExportDialog::format() const {
  return ExportFormats().at(static_cast<std::size_t>(format_->currentIndex()));
}

Layoff ExportDialog::layoff() const {
  return across_->isEnabled() && across_->isChecked() ? Layoff::Across : Layoff::Vertical;
}

void ExportDialog::accept() {
  if (format().needs_size) {
    OutlineSize size;
    for (const auto& [field, edit, value] : {std::tuple{&kThickness, thickness_, &size.thickness},
                                             {&kCamber, camber_, &size.camber}}) {
      const QString why = Refusal(*field, edit->text(), *value);
      if (!why.isEmpty()) {
        reason_->setText(why);
        adjustSize();
        edit->setFocus();
        edit->selectAll();
        return;
      }
    }
    if (symmetric_) size.camber = 0;
    size_ = size;
  }
  reason_->clear();
  QDialog::accept();
}

}  // namespace tarvelo
