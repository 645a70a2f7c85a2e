#include "app/file_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>

namespace tarvelo {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentStep = 8;
constexpr QDir::SortFlags kByName = QDir::Name | QDir::IgnoreCase;

bool LiesUnder(const QString& path, const QString& root) {
  if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
  return path == root || path.startsWith(root + QLatin1Char('/'));
}

// Shifts each entry of the directory list right by its level.
class IndentDelegate : public QStyledItemDelegate {
 public:
  IndentDelegate(const int& indent, QObject* parent) : QStyledItemDelegate(parent), indent_(indent) {}

  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    shifted.rect.adjust(index.data(kLevelRole).toInt() * indent_, 0, 0, 0);
    QStyledItemDelegate::paint(p, shifted, index);
  }

 private:
  const int& indent_;
};

}  // namespace

bool CanList(const QString& path) {
  const QFileInfo fi(path);
  return fi.isDir() && fi.isReadable() && fi.isExecutable();
}

// ---- Drive1 ----

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  // activated comes only from the user; a change to the drive already shown
  // is no change.
  connect(this, &QComboBox::activated, this, [this](int index) {
    if (index == shown_) return;
    shown_ = index;
    emit driveChanged(itemText(index));
  });
}

void DriveList::refresh() {
  QStringList roots;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    // Bind-mounted single files are no drives.
    if (v.isValid() && v.isReady() && QFileInfo(v.rootPath()).isDir()) roots << v.rootPath();
  }
  setDrives(roots);
  mounted_ = true;
}

void DriveList::showPopup() {
  if (mounted_) refresh();
  QComboBox::showPopup();
}

void DriveList::setDrives(const QStringList& roots) {
  mounted_ = false;
  QStringList sorted = roots;
  sorted.removeAll(QStringLiteral("/"));
  sorted.removeDuplicates();
  sorted.sort();
  sorted.prepend(QStringLiteral("/"));
  const QString keep = drive();
  clear();
  addItems(sorted);
  setDrive(findText(keep) >= 0 ? keep : sorted.front());
}

QStringList DriveList::drives() const {
  QStringList out;
  for (int i = 0; i < count(); ++i) out << itemText(i);
  return out;
}

QString DriveList::driveOf(const QString& path) const {
  QString best = QStringLiteral("/");
  for (int i = 0; i < count(); ++i) {
    const QString root = itemText(i);
    if (root.size() > best.size() && LiesUnder(path, root)) best = root;
  }
  return best;
}

void DriveList::setDrive(const QString& root) {
  const int index = findText(root);
  if (index < 0) return;
  shown_ = index;
  setCurrentIndex(index);
}

// ---- Dir1 ----

DirList::DirList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setItemDelegate(new IndentDelegate(indent_, this));
  connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QString target = item->data(kPathRole).toString();
    if (target != path_) emit openRequested(target);
  });
}

void DirList::setPath(const QString& path) {
  path_ = path;
  clear();
  const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  const int depth = static_cast<int>(parts.size());
  // Deep paths indent less, so that names keep room in the narrow list.
  const int room = viewport()->width() - 80;
  indent_ = std::clamp(room / (depth + 1), 0, kIndentStep);

  auto add = [this](QStyle::StandardPixmap icon, int level, const QString& name,
                    const QString& full) {
    auto* item = new QListWidgetItem(style()->standardIcon(icon, nullptr, this), name, this);
    item->setData(kPathRole, full);
    item->setData(kLevelRole, level);
    return item;
  };
  // The way down from the root in open folders, then the subdirectories.
  QString at = QStringLiteral("/");
  QListWidgetItem* current = add(QStyle::SP_DirOpenIcon, 0, at, at);
  int level = 0;
  for (const QString& part : parts) {
    at = at == QLatin1String("/") ? at + part : at + QLatin1Char('/') + part;
    current = add(QStyle::SP_DirOpenIcon, ++level, part, at);
  }
  const QStringList subdirs = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, kByName);
  for (const QString& name : subdirs) {
    add(QStyle::SP_DirClosedIcon, level + 1, name,
        path == QLatin1String("/") ? path + name : path + QLatin1Char('/') + name);
  }
  setCurrentItem(current);
}

QString DirList::pathAt(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(kPathRole).toString() : QString();
}

// ---- File1 ----

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { emit fileClicked(item->text()); });
}

void FileList::setPath(const QString& path) {
  path_ = path;
  clear();
  // Name filters match without regard to case unless told otherwise.
  addItems(QDir(path).entryList({QString::fromLatin1(kFilePattern)}, QDir::Files, kByName));
}

QStringList FileList::names() const {
  QStringList out;
  for (int i = 0; i < count(); ++i) out << item(i)->text();
  return out;
}

bool FileList::selectName(const QString& name) {
  const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (found.isEmpty()) return false;
  setCurrentItem(found.front());
  scrollToItem(found.front());
  return true;
}

void FileList::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // The keys that take an item take the one under the cursor: its click.
      if (QListWidgetItem* item = currentItem()) {
        setCurrentItem(item);
        emit fileClicked(item->text());
        event->accept();
        return;
      }
      break;
    case Qt::Key_Down:
      // Focus makes the first file current without selecting it; the first
      // Down takes that file rather than stepping past it.
      if (selectedItems().isEmpty() && count() > 0 && currentRow() <= 0) {
        setCurrentRow(0);
        emit fileClicked(item(0)->text());
        event->accept();
        return;
      }
      break;
    default:
      break;
  }
  // Moving the selection with the keys is a click on the new file.
  const QListWidgetItem* before = currentItem();
  QListWidget::keyPressEvent(event);
  QListWidgetItem* after = currentItem();
  if (after && after != before) emit fileClicked(after->text());
}

}  // namespace tarvelo
