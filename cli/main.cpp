// azuz: the headless tool on the core libraries.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <string>

#include "CodePage.h"
#include "ExitCodes.h"
#include "ParkedQueueTable.h"
#include "Verbs.h"

namespace {

int Run(int argc, char** argv) {
  azuz::SystemCodePageName();  // settled now, so that a warning about it comes first
  CLI::App app{"Vurodadud Azuz: design, render and send receipt printer watermarks", "azuz"};
  app.set_version_flag("--version", std::string("azuz ") + AZUZ_VERSION);
  app.require_subcommand(1);
  app.footer(azuz::cli::kExitCodeHelp);
  int status = 0;
  azuz::cli::AddInfoVerb(app, status);
  azuz::cli::AddPictureVerb(app, status);
  azuz::cli::AddSendVerbs(app, status);
  azuz::cli::AddEmulateVerb(app, status);
  azuz::cli::AddRenderVerb(app, status);
  azuz::cli::AddPrintersVerb(app, status);
  azuz::cli::AddCommTestVerb(app, status);
  azuz::cli::AddConnectionVerbs(app, status);
  // Queues a killed run left parked on /dev/null get their devices back first.
  azuz::RestoreLeftoverParkedQueues();
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // A verb ends with its own message; what escapes one (no memory, a failing library) still
  // ends the tool with a message and a failure status, never an abort.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "azuz: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "azuz: unexpected failure\n");
  }
  return 1;
}
