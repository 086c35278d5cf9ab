#include "StartupArguments.h"

#include <QFile>
#include <cstring>
#include <vector>

#include "ConnectionSetup.h"

namespace azuz {

namespace {

constexpr const char* kOpenOption = "--open";
constexpr const char* kOpenOptionWithValue = "--open=";

}  // namespace

StartupArguments ParseStartupArguments(int argc, const char* const* argv) {
  StartupArguments result;
  if (argc > 1) {
    result.showHelp = std::strcmp(argv[1], "--help") == 0;
    result.showVersion = std::strcmp(argv[1], "--version") == 0;
  }
  // The tail is joined from what is left, exactly as it would be without the option.
  std::vector<const char*> rest{argc > 0 ? argv[0] : ""};
  for (int i = 1; i < argc; ++i) {
    const std::size_t prefix = std::strlen(kOpenOptionWithValue);
    if (std::strcmp(argv[i], kOpenOption) == 0) {
      if (i + 1 < argc) {
        result.openPath = QFile::decodeName(argv[++i]);
      }
    } else if (std::strncmp(argv[i], kOpenOptionWithValue, prefix) == 0) {
      result.openPath = QFile::decodeName(argv[i] + prefix);
    } else {
      rest.push_back(argv[i]);
    }
  }
  result.commandLineTail = CommandLineTail(static_cast<int>(rest.size()), rest.data());
  return result;
}

QString StartupHelpText() {
  return QStringLiteral(
      "Usage: vurodadud-azuz [--open FILE.bwi] [PRINTER]\n"
      "Design the watermark of QPT-L710 and QPT-L712 receipt printers.\n"
      "\n"
      "Options:\n"
      "  --open FILE   open the design FILE at start; when a designer already runs in this\n"
      "                session, FILE opens in its window and this program ends\n"
      "  --help        show this help and end\n"
      "  --version     show the version and end\n"
      "\n"
      "The rest of the command line chooses the printer connection at start: the name of a\n"
      "print queue, or \"Custom QPT-L712\" for the wider model.\n");
}

}  // namespace azuz
