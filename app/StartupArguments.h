#pragma once

#include <QString>
#include <string>

namespace azuz {

// What the designer's command line asks for. `--open FILE` (or `--open=FILE`) names a design to
// open at start, as the shell does for a file it hands over; everything else is the start-up tail
// that chooses the printer connection, so a file named without the option is never opened.
struct StartupArguments {
  QString openPath;  // empty when nothing is to be opened
  std::string commandLineTail;
  bool showHelp = false;     // only as the first argument
  bool showVersion = false;  // likewise
};

StartupArguments ParseStartupArguments(int argc, const char* const* argv);

// The text --help prints.
QString StartupHelpText();

}  // namespace azuz
