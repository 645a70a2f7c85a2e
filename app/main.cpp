// tarvelo: the window. An optional first argument names a data file to take
// as if clicked in the file list, or a directory to list.
#include <QApplication>
#include <QStringList>

#include <tarvelo/tarvelo.h>

#include "app/window.h"

int main(int argc, char** argv) {
  // Ending by a signal must not leave a half-written .FOI beside its target.
  tarvelo::RemoveTemporaryFileOnSignals();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tarvelo"));
  tarvelo::Window window;
  window.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) window.openArgument(args.at(1));
  return QApplication::exec();
}
