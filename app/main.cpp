// tarvelo: the window. An optional first argument names a data file to take
// as if clicked in the file list, or a directory to list.
#include <QApplication>
#include <QStringList>

#include "app/window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tarvelo"));
  tarvelo::Window window;
  window.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) window.openArgument(args.at(1));
  return QApplication::exec();
}
