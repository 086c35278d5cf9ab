#include <QApplication>

#include "CORVELIXImageToolApp.h"
#include "ConnectionSetup.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Qt has taken its own options out of argv by now; the rest chooses the printer connection.
  azuz::CORVELIXImageToolApp app(azuz::CommandLineTail(argc, argv));
  if (!app.InitInstance()) {
    return 1;
  }
  return QApplication::exec();
}
