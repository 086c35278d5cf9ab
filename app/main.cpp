#include <QApplication>

#include "CORVELIXImageToolApp.h"
#include "CodePage.h"
#include "ConnectionSetup.h"

int main(int argc, char* argv[]) {
  azuz::SystemCodePageName();  // settled now, so that a warning about it comes first
  QApplication application(argc, argv);
  // Qt has taken its own options out of argv by now; the rest chooses the printer connection.
  azuz::CORVELIXImageToolApp app(azuz::CommandLineTail(argc, argv));
  if (!app.InitInstance()) {
    return 1;
  }
  return QApplication::exec();
}
