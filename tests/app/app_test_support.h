// Helpers of the window's Qt Test suites.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <memory>

#include "app/window.h"
#include "support/test_support.h"

namespace tarvelo::test {

// Same look on every machine: the Fusion style.
inline void UseFusion() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

template <class W>
W* Child(QWidget& w, const char* name) {
  W* found = w.findChild<W*>(QString::fromLatin1(name));
  if (!found) qFatal("no control %s", name);
  return found;
}

// A window with its lists on a directory, shown offscreen.
inline std::unique_ptr<Window> OpenWindow(const std::string& dir) {
  auto w = std::make_unique<Window>();
  w->showDirectory(QString::fromStdString(dir));
  w->show();
  return w;
}

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

inline std::vector<std::string> PageLines(Window& w) { return w.picture1().page().texts(); }

// The red bold line an error leaves, or "" when line 31 is not one.
inline std::string ErrorLine(Window& w) {
  const Page& p = w.picture1().page();
  if (p.lines.size() < 31 || p.lines[30].runs.size() != 1) return "";
  const TextRun& r = p.lines[30].runs[0];
  return (r.color == kRed && r.bold) ? r.text : "";
}

inline void Press(Window& w, const char* button) {
  QTest::mouseClick(Child<QPushButton>(w, button), Qt::LeftButton);
}

// Clicks a name in a list with the mouse.
inline bool ClickItem(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  list->scrollToItem(found.front());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(found.front()).center());
  return true;
}

}  // namespace tarvelo::test
