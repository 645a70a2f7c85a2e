#include "app/window.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include <tarvelo/window.h>

#include "app/export_dialog.h"
#include "fit/count_search.h"
#include "fit/run.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

enum class Kind { DriveList, DirList, FileList, Label, TextField, Button, DisplayArea };
enum class Face { Standard, Bold, Fixed };

// Buttons keep the system's colours.
constexpr Color kSystemColor = 0xFFFFFFFF;
constexpr Color kWindowBackground = 0xC0C0C0;

// One control of the layout: position and size in twips from the top-left of
// the client area, its initial caption or text, and its place in the tab order.
struct Control {
  const char* name;
  Kind kind;
  int left, top, width, height;
  const char* text;
  Face face;
  Color background;
  int tabIndex;
};

constexpr Control kLayout[] = {
    {"Drive1", Kind::DriveList, 240, 240, 2295, 315, "", Face::Standard, 0xE0E0E0, 0},
    {"Dir1", Kind::DirList, 240, 600, 2295, 1890, "", Face::Standard, 0xE0E0E0, 1},
    {"File1", Kind::FileList, 240, 2520, 2295, 1650, "", Face::Standard, 0xE0E0E0, 2},
    {"Label1", Kind::Label, 240, 4320, 2295, 255, "Input-File", Face::Bold, 0xC0C0C0, 3},
    {"Text1", Kind::TextField, 240, 4560, 2295, 285, "Input-File", Face::Standard, 0xE0E0E0, 4},
    {"Label2", Kind::Label, 240, 4920, 2295, 255, "Output-File ", Face::Bold, 0xC0C0C0, 5},
    {"Text2", Kind::TextField, 240, 5160, 2295, 285, "Output-File", Face::Standard, 0xE0E0E0, 6},
    {"Label4", Kind::Label, 240, 5520, 2535, 255, "3 digits for std foil file name", Face::Bold,
     0xC0C0C0, 13},
    {"Text4", Kind::TextField, 240, 5760, 615, 285, "", Face::Standard, 0xE0E0E0, 14},
    {"Label6", Kind::Label, 1440, 5760, 1335, 255, "(101 .... 255)", Face::Bold, 0xC0C0C0, 16},
    {"Label3", Kind::Label, 240, 6120, 2535, 255, "No. of Control Points (Std=8)", Face::Bold,
     0xC0C0C0, 7},
    {"Text3", Kind::TextField, 240, 6360, 375, 285, "8", Face::Standard, 0xE0E0E0, 8},
    {"Label5", Kind::Label, 1080, 6360, 1695, 255, " (Max=20, Min = 4)", Face::Bold, 0xC0C0C0,
     15},
    {"Command1", Kind::Button, 240, 6960, 2295, 255, "Start", Face::Bold, kSystemColor, 10},
    {"Command2", Kind::Button, 240, 7320, 2295, 255, "Terminate ", Face::Bold, kSystemColor, 11},
    {"Command3", Kind::Button, 1320, 7920, 1335, 255, "Next Screen", Face::Bold, kSystemColor, 12},
    {"Picture1", Kind::DisplayArea, 2880, 240, 6400, 7920, "", Face::Fixed, 0xE0E0E0, 9},
};

int Pixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

std::string Name(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString CleanPath(const QString& path) { return QDir::cleanPath(QDir(path).absolutePath()); }

// A busy cursor for as long as it lives. What a menu or a dialog just closed
// left on the screen is painted over first, before the work begins.
class BusyCursor {
 public:
  BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// A stored section without camber: every camber control point 0, as a fit of
// a symmetric section leaves them.
bool Symmetric(const FoilSpline& foil) {
  return std::all_of(foil.camber.begin(), foil.camber.end(), [](double c) { return c == 0; });
}

}  // namespace

QFont UiFont(bool bold) {
  const QStringList families = QFontDatabase::families();
  QFont f;
  if (families.contains(QStringLiteral("MS Sans Serif"))) {
    f = QFont(QStringLiteral("MS Sans Serif"));
  } else if (families.contains(QStringLiteral("Liberation Sans"))) {
    f = QFont(QStringLiteral("Liberation Sans"));
  } else {
    f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setStyleHint(QFont::SansSerif);
  }
  f.setPixelSize(kFontPixels);
  f.setBold(bold);
  return f;
}

Window::Window(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TARVELO"));
  setWindowTitle(QStringLiteral("TARVELO I/O"));
  setFont(UiFont(false));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(kWindowBackground));
  setPalette(pal);
  setAutoFillBackground(true);
  resize(kClientWidth, kClientHeight);
  // The layout is fixed: a smaller window would put controls out of reach.
  setMinimumSize(kClientWidth, kClientHeight);
  setAcceptDrops(true);

  buildControls();
  buildMenuActions();

  drive1_->refresh();
  showDirectory(QDir::currentPath());
  drive1_->setFocus();
}

void Window::buildControls() {
  std::vector<QWidget*> byTab(std::size(kLayout), nullptr);
  for (const Control& c : kLayout) {
    const QString text = QString::fromLatin1(c.text);
    QWidget* w = nullptr;
    switch (c.kind) {
      case Kind::DriveList:
        w = drive1_ = new DriveList(this);
        break;
      case Kind::DirList:
        w = dir1_ = new DirList(this);
        break;
      case Kind::FileList:
        w = file1_ = new FileList(this);
        break;
      case Kind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = label;
        break;
      }
      case Kind::TextField: {
        auto* edit = new QLineEdit(text, this);
        // A file dropped on a field opens it, rather than pasting its URL.
        edit->setAcceptDrops(false);
        text_[static_cast<std::size_t>(c.name[4] - '1')] = edit;  // Text1 .. Text4
        w = edit;
        break;
      }
      case Kind::Button: {
        auto* button = new QPushButton(text, this);
        // Not a default button, whose frame would change the look: Enter is
        // taken by the window's filter instead.
        button->setAutoDefault(false);
        button->installEventFilter(this);
        command_[static_cast<std::size_t>(c.name[7] - '1')] = button;  // Command1 .. Command3
        w = button;
        break;
      }
      case Kind::DisplayArea:
        w = picture1_ = new PictureBox(this);
        break;
    }
    w->setObjectName(QString::fromLatin1(c.name));
    w->setGeometry(Pixels(c.left), Pixels(c.top), Pixels(c.width), Pixels(c.height));
    if (c.face == Face::Bold) w->setFont(UiFont(true));
    if (c.background != kSystemColor) {
      QPalette pal = w->palette();
      pal.setColor(QPalette::Base, ToQColor(c.background));
      pal.setColor(c.kind == Kind::DriveList ? QPalette::Button : QPalette::Window,
                   ToQColor(c.background));
      w->setPalette(pal);
    }
    if (c.kind == Kind::Label) w->setFocusPolicy(Qt::NoFocus);
    byTab[static_cast<std::size_t>(c.tabIndex)] = w;
  }

  QWidget* previous = nullptr;
  for (QWidget* w : byTab) {
    if (w == nullptr || w->focusPolicy() == Qt::NoFocus) continue;
    if (previous) setTabOrder(previous, w);
    previous = w;
  }

  command_[2]->setEnabled(false);

  connect(drive1_, &DriveList::driveChanged, this, &Window::Drive1_Change);
  connect(dir1_, &DirList::openRequested, this, [this](const QString& path) { openDir(path); });
  connect(file1_, &FileList::fileClicked, this, &Window::File1_Click);
  connect(text_[0], &QLineEdit::textChanged, this, &Window::Text1_Change);
  connect(text_[1], &QLineEdit::textChanged, this, &Window::Text2_Change);
  connect(text_[2], &QLineEdit::textChanged, this, &Window::Text3_Change);
  connect(text_[3], &QLineEdit::textChanged, this, &Window::Text4_Change);
  connect(command_[0], &QPushButton::clicked, this, &Window::Command1_Click);
  connect(command_[1], &QPushButton::clicked, this, &Window::Command2_Click);
  connect(command_[2], &QPushButton::clicked, this, &Window::Command3_Click);
}

// ---- the display area's menu: what the window adds ----

// In the order of the work: a section from coordinates, its fit, its export.
void Window::buildMenuActions() {
  auto* import = new QAction(QStringLiteral(u"Import coordinates\u2026"), this);
  import->setObjectName(QStringLiteral("ImportCoordinates"));
  connect(import, &QAction::triggered, this, &Window::importCoordinates, Qt::QueuedConnection);
  importDialogs_.coordinateFile = [this] {
    return QFileDialog::getOpenFileName(this, tr("Import coordinates"), file1_->path(),
                                        tr("Coordinate files (*.dat *.txt);;All files (*)"));
  };
  importDialogs_.sectionFile = [this](const QString& proposed) {
    return QFileDialog::getSaveFileName(this, tr("Save section data"), proposed,
                                        tr("Section data files (*.dat)"));
  };

  fewest_ = new QAction(QStringLiteral(u"Fewest control points for R.M.S. \u2264 1e-4"), this);
  fewest_->setObjectName(QStringLiteral("FewestControlPoints"));
  exact_ = new QAction(this);
  exact_->setObjectName(QStringLiteral("PlacePointsExactly"));
  exact_->setCheckable(true);
  connect(exact_, &QAction::toggled, this, &Window::placeExactly);
  exportAction_ = new QAction(QStringLiteral(u"Export section\u2026"), this);
  exportAction_->setObjectName(QStringLiteral("ExportSection"));
  // Queued: what they ask or tell opens once the menu has closed.
  connect(fewest_, &QAction::triggered, this, &Window::chooseFewestControlPoints,
          Qt::QueuedConnection);
  connect(exportAction_, &QAction::triggered, this, &Window::exportSection, Qt::QueuedConnection);
  propertiesAction_ = new QAction(tr("Section properties\u2026"), this);
  propertiesAction_->setObjectName(QStringLiteral("SectionProperties"));
  connect(propertiesAction_, &QAction::triggered, this, &Window::showSectionProperties, Qt::QueuedConnection);
  picture1_->addMenuActions({import, fewest_, exact_, exportAction_, propertiesAction_});
  connect(picture1_, &PictureBox::menuAboutToShow, this, &Window::updateMenuActions);
  updateMenuActions();
  // The menu is the only way to these; the area says where it is, in lines
  // narrower than the window.
  picture1_->setToolTip(QStringLiteral(
      u"Right click for the menu: copy or save the screen,\n"
      u"import coordinates as section data, the fewest control\n"
      u"points for R.M.S. \u2264 1e-4, place points exactly,\n"
      u"export the fitted section or show its properties"));
}

void Window::updateMenuActions() {
  fewest_->setEnabled(!state_.InFile.empty());
  exportAction_->setEnabled(!state_.SavedFile.empty());
  propertiesAction_->setEnabled(!state_.SavedFile.empty());
  // Why a fair section may be listed as unfair: the window's placement left
  // points near the nose off their chord positions.
  QString text = QStringLiteral("Place points exactly");
  if (const std::optional<Fit>& fit = state_.fit;
      fit && fit->placement == kDefaultPlacement && fit->misplaced_points > 0)
    text += QStringLiteral(" (the last run placed %1 %2 up to %3 of the chord off)")
                .arg(fit->misplaced_points)
                .arg(fit->misplaced_points == 1 ? QStringLiteral("point") : QStringLiteral("points"))
                .arg(QString::number(fit->largest_misplacement, 'g', 2));
  exact_->setText(text);
}

void Window::placeExactly(bool on) {
  state_.placement = on ? FindPlacement("exact").name : kDefaultPlacement;
}

// The count field gets the fewest control points whose fit keeps both R.M.S.
// errors within the listings' fairness limit, and Start runs with it. The
// counts are tried in turn, with the placement the runs take, a dialog
// showing which once the search takes a while; it may be stopped, which
// changes nothing. The count set and the file written are told, and when no
// count reaches the limit, the count set and its errors, as the command line
// tells them.
void Window::chooseFewestControlPoints() {
  std::optional<CountChoice> choice;
  guarded([&] {
    BusyCursor busy;
    const Section section = ReadSection(state_.InFile);
    QProgressDialog progress(QString(), tr("Stop"), kFewestControlPoints, kWindowMostControlPoints + 1, this);
    progress.setObjectName(QStringLiteral("FewestProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    choice = SearchControlPoints(section, state_.placement, kFairnessLimit, [&](int count) {
      progress.setLabelText(tr("Fitting %1 control points (%2 to %3) of %4")
                                .arg(count)
                                .arg(kFewestControlPoints)
                                .arg(kWindowMostControlPoints)
                                .arg(DecodeText(state_.InFile)));
      progress.setValue(count);  // a modal dialog handles the events here
      return !progress.wasCanceled();
    });
    progress.reset();
    if (!choice) return;
    SetText(Field::Text3, std::to_string(choice->control_points));
    Main(state_, *picture1_, *this);
  });
  if (choice) tellFewest(*choice);
}

void Window::tellFewest(const CountChoice& choice) {
  const auto rms = [](double v) { return QString::number(v, 'e', 2); };
  // Only a file the run wrote with this count is named as written.
  const bool written = state_.fit && state_.fit->control_points == choice.control_points &&
                       !state_.SavedFile.empty() && state_.SavedFile == state_.OutFile;
  const QString wrote =
      written ? QStringLiteral("\nWrote %1.").arg(DecodeText(state_.SavedFile)) : QString();
  if (choice.reached) {
    QMessageBox::information(
        this, windowTitle(),
        QStringLiteral(u"Set to %1 control points, the fewest that keep both R.M.S. errors within 1e-4: "
                       u"R.M.S. error / chord %2 for the thickness, %3 for the camber.")
                .arg(choice.control_points)
                .arg(rms(choice.fit.thickness.rms), rms(choice.fit.camber.rms)) +
            wrote);
    return;
  }
  QMessageBox::warning(
      this, windowTitle(),
      QStringLiteral(u"No count from %1 to %2 keeps both R.M.S. errors within 1e-4.\n"
                     u"Set to %3 control points, the count with the smallest error: "
                     u"R.M.S. error / chord %4 for the thickness, %5 for the camber.")
              .arg(kFewestControlPoints)
              .arg(kWindowMostControlPoints)
              .arg(choice.control_points)
              .arg(rms(choice.fit.thickness.rms), rms(choice.fit.camber.rms)) +
          wrote);
}

// ---- the fields as the core sees them ----

std::string Window::Text(Field f) const {
  return Name(text_[static_cast<std::size_t>(f)]->text());
}

void Window::SetText(Field f, const std::string& text) {
  // QLineEdit reports textChanged from inside setText, and only for a new
  // text: the field's handler runs nested, as the core expects.
  text_[static_cast<std::size_t>(f)]->setText(QFile::decodeName(QByteArray::fromStdString(text)));
}

void Window::EnableCommand3() { command_[2]->setEnabled(true); }

bool Window::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && button->isEnabled() && (key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      button->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

std::string Window::ListedDirectory() const { return Name(file1_->path()); }

// ---- messages ----

void Window::showError(const std::string& msg) {
  state_.ErMsg = msg;
  Print_ErMsg(state_, *picture1_);
}

template <class Fn>
void Window::guarded(Fn&& fn) {
  try {
    fn();
  } catch (const Error& e) {
    showError(WindowText(e));
  } catch (const std::bad_alloc&) {
    showError("   Not enough memory !! ");
  } catch (const std::exception& e) {
    showError(std::string("   ") + e.what() + " !! ");
  }
}

// ---- file selection ----

bool Window::showDirectory(const QString& path) { return openDir(CleanPath(path)); }

bool Window::openDir(const QString& path) {
  if (!CanList(path)) {
    showError("  " + Name(path) + " - Directory could not be read !! ");
    return false;
  }
  dir1_->setPath(path);
  drive1_->setDrive(drive1_->driveOf(path));
  dirOnDrive_.insert(drive1_->drive(), path);
  Dir1_Change();
  return true;
}

void Window::Drive1_Change(const QString& root) {
  // A drive reopens on the directory last shown there.
  QString target = dirOnDrive_.value(root, root);
  if (!CanList(target)) target = root;
  if (!CanList(root)) {
    showError("  " + Name(root) + " - Drive not available !! ");
    // The list goes back to the drive Dir1 still shows.
    drive1_->setDrive(drive1_->driveOf(dir1_->path()));
    return;
  }
  openDir(target);
}

void Window::Dir1_Change() { file1_->setPath(dir1_->path()); }

void Window::File1_Click(const QString& name) {
  guarded([&] { tarvelo::File1_Click(state_, *picture1_, *this, Name(name)); });
}

bool Window::openDataFile(const QString& path) {
  const QFileInfo fi(path);
  if (!fi.exists()) {
    showError("  " + Name(path) + " - Input file not found !! ");
    return false;
  }
  if (!fi.isFile()) {
    showError("  " + Name(path) + " - Input file is not a regular file !! ");
    return false;
  }
  // Only what the file list could show is taken.
  if (!QDir::match(QString::fromLatin1(kFilePattern), fi.fileName())) {
    showError("  " + Name(path) + " - Input file not valid !! ");
    return false;
  }
  if (!showDirectory(fi.absolutePath())) return false;
  file1_->selectName(fi.fileName());
  File1_Click(fi.fileName());
  return true;
}

void Window::openArgument(const QString& arg) {
  if (QFileInfo(arg).isDir())
    showDirectory(arg);
  else
    openDataFile(arg);
}

namespace {

// The first local *.dat file among dropped URLs.
QString DroppedDataFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (QDir::match(QString::fromLatin1(kFilePattern), QFileInfo(path).fileName())) return path;
  }
  return {};
}

}  // namespace

void Window::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedDataFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Window::dropEvent(QDropEvent* event) {
  const QString path = DroppedDataFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  openDataFile(path);
}

// ---- sections from coordinate files ----

void Window::importCoordinates() {
  const QString coordinates = importDialogs_.coordinateFile();
  if (coordinates.isEmpty()) return;
  guarded([&] {
    // A refused file is reported before anything is asked or written.
    const ImportedSection imported = [&] {
      BusyCursor busy;
      return ImportOutline(Name(coordinates));
    }();
    const Section& section = imported.section;
    const std::string text = SectionFileText(section);
    const QFileInfo fi(coordinates);
    QString target = importDialogs_.sectionFile(
        fi.absoluteDir().filePath(fi.completeBaseName() + QStringLiteral("-section.dat")));
    if (target.isEmpty()) return;
    // Only a *.dat file can be the input file.
    if (!target.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive)) target += QStringLiteral(".dat");
    WriteFileContents(Name(target), text);
    // Taking the file clears the area; what was made is said there, in the
    // first page's words, unless taking it failed and said so.
    if (!openDataFile(target)) return;
    picture1_->Print({"Coordinates   : ", Name(coordinates)});
    picture1_->Print({"File written  : ", state_.InFile});
    picture1_->Print({"Data points   : ", section.points()});
    // A turned or scaled outline, and every repair, are said, never silent.
    if (imported.transform.frame == ImportFrame::Normalised)
      picture1_->Print({"Import        : ", ImportTransformText(imported.transform)});
    for (const std::string& warning : imported.warnings) picture1_->Print({"Warning       : ", warning});
  });
}

// ---- fields and buttons ----

void Window::Text1_Change() { guarded([&] { tarvelo::Text1_Change(state_, *picture1_, *this); }); }
void Window::Text2_Change() { guarded([&] { tarvelo::Text2_Change(state_, *picture1_, *this); }); }
void Window::Text3_Change() { guarded([&] { tarvelo::Text3_Change(state_, *picture1_, *this); }); }
void Window::Text4_Change() { guarded([&] { tarvelo::Text4_Change(state_, *picture1_, *this); }); }

void Window::Command1_Click() {
  BusyCursor busy;
  guarded([&] { Main(state_, *picture1_, *this); });
}

void Window::Command2_Click() {
  close();
  QCoreApplication::quit();
}

void Window::Command3_Click() {
  BusyCursor busy;
  guarded([&] { tarvelo::Command3_Click(state_, *picture1_); });
}

void Window::foilFileWarning(const Error& e) {
  // The file the menu reads is the run's .FOI, not the input file.
  const std::string text = e.kind() == ErrorKind::NotFound && e.has_subject()
                               ? "  " + e.subject() + " - Foil file not found !! "
                               : WindowText(e);
  QMessageBox::warning(this, windowTitle(), DecodeText(text));
}

void Window::exportSection() {
  if (state_.SavedFile.empty()) return;
  const std::string foi = state_.SavedFile;
  // The .FOI is read before anything is asked: one gone or spoilt since the
  // run wrote it is reported at once, and what is exported is what was read.
  std::optional<FoilSpline> foil;
  try {
    foil = ReadFoilFile(foi);
  } catch (const Error& e) {
    foilFileWarning(e);
    return;
  }
  // The section's own size: what the run divided each curve by; a section
  // without camber has none to give.
  OutlineSize size = state_.fit ? OwnSize(*state_.fit) : OutlineSize{1, 1};
  const bool symmetric = Symmetric(*foil);
  if (symmetric) size.camber = 0;
  ExportDialog dialog(size, DecodeText(foi), symmetric, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const ExportFormat& format = dialog.format();

  const QFileInfo saved(QFile::decodeName(QByteArray::fromStdString(foi)));
  QString path = QFileDialog::getSaveFileName(
      this, tr("Export Section"), saved.dir().filePath(saved.completeBaseName() + ExportSuffix(format)),
      ExportFilter(format));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += ExportSuffix(format);
  const std::string target = Name(path);
  try {
    BusyCursor busy;
    CheckNotInput(foi, target);
    ExportOptions options;
    if (format.needs_size) options.size = dialog.size();
    options.layoff = dialog.layoff();
    WriteFileContents(target, Export(*foil, format.name, options));
  } catch (const Error& e) {
    QMessageBox::warning(this, windowTitle(), DecodeText(WindowText(e)));
    return;
  }
  // A file written where the list shows shows up there.
  const QString current = file1_->currentItem() ? file1_->currentItem()->text() : QString();
  file1_->setPath(file1_->path());
  if (!current.isEmpty()) file1_->selectName(current);
  QMessageBox::information(this, windowTitle(),
                           tr("Exported %1\nto %2.").arg(DecodeText(foi), QFileInfo(path).absoluteFilePath()));
}

void Window::showSectionProperties() {
  if (state_.SavedFile.empty()) return;
  const std::string foi = state_.SavedFile;
  QString text;
  try {
    BusyCursor busy;
    const FoilSpline foil = ReadFoilFile(foi);
    // Its own size: what the run divided each curve by, 1 for a curve it left
    // as read; a section without camber is symmetric, whatever the run did.
    OutlineSize size = state_.fit ? OwnSize(*state_.fit) : OutlineSize{1, 1};
    const bool symmetric = Symmetric(foil);
    if (symmetric) size.camber = 0;
    const OutlineProperties p = SectionProperties(foil, size);
    QString rows;
    for (const PropertyField& f : PropertyFields()) {
      const double v = p.*f.value;
      rows += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td></tr>")
                  .arg(QString::fromLatin1(f.title).toHtmlEscaped(),
                       std::isfinite(v) ? QString::number(v, 'g', 6) : tr("infinite"));
    }
    const QString at = symmetric ? tr("at t/c = %1, symmetric").arg(QString::number(size.thickness, 'g', 6))
                                 : tr("at t/c = %1, f/c = %2")
                                       .arg(QString::number(size.thickness, 'g', 6),
                                            QString::number(size.camber, 'g', 6));
    text = tr("<p>%1<br>%2: lengths per chord, the area per chord&sup2;, "
              "second moments per chord&#8308;, the angle in degrees.</p><table>%3</table>")
               .arg(DecodeText(foi).toHtmlEscaped(), at, rows);
  } catch (const Error& e) {
    foilFileWarning(e);
    return;
  }
  QMessageBox box(QMessageBox::Information, windowTitle(), QString(), QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("SectionPropertiesBox"));
  box.setTextFormat(Qt::RichText);
  box.setText(text);
  box.exec();
}

}  // namespace tarvelo
