#include <QApplication>
#include <chrono>
#include <cstdio>

#include "CMainFrame.h"
#include "CORVELIXImageToolApp.h"
#include "CodePage.h"
#include "SessionService.h"
#include "StartupArguments.h"
#include "TerminationSignals.h"
#include "TransferSession.h"

int main(int argc, char* argv[]) {
  azuz::SystemCodePageName();  // settled now, so that a warning about it comes first
  QApplication application(argc, argv);
  // Qt has taken its own options out of argv by now; the rest is --open and the tail that
  // chooses the printer connection.
  const azuz::StartupArguments arguments = azuz::ParseStartupArguments(argc, argv);
  if (arguments.showHelp) {
    std::fputs(azuz::StartupHelpText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (arguments.showVersion) {
    std::printf("vurodadud-azuz %s\n", AZUZ_VERSION);
    return 0;
  }

  // A file handed over while a designer runs in this session opens in that window.
  azuz::SessionService service;
  if (service.ClaimName() == azuz::SessionService::Claim::Taken && !arguments.openPath.isEmpty() &&
      azuz::SessionService::HandToRunningDesigner(arguments.openPath)) {
    return 0;
  }

  azuz::CORVELIXImageToolApp app(arguments.commandLineTail, arguments.openPath);
  if (!app.InitInstance()) {
    return 1;
  }
  service.Serve(app.MainFrame());
  const azuz::TerminationSignals termination;
  const int code = QApplication::exec();
  // A transfer's worker may still be giving spooler queues back.
  azuz::TransferSession::WaitForAllSessions(std::chrono::seconds(30));
  return code;
}
