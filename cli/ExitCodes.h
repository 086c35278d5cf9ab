#pragma once

namespace azuz::cli {

// The exit status of the printer verbs (send, on, off, permanent-on, permanent-off, test-page,
// comm-test), which a roll-out script tells apart.
enum ExitCode : int {
  kExitCompleted = 0,       // every byte went out (with --check: it would be sent)
  kExitUnexpected = 1,      // the tool itself failed (no memory, a failing library)
  kExitUsage = 2,           // an option it cannot use (a malformed --port or --page)
  kExitDesignRefused = 3,   // the design cannot be read whole, its page is refused, no image
  kExitOpenFailed = 4,      // the port, printer or queue could not be opened
  kExitTransferFailed = 5,  // opened, but the bytes did not all go out
  kExitCancelled = 6,       // Ctrl-C, SIGTERM or SIGHUP ended it
};

// The table above as `azuz --help` and the manual page give it.
inline constexpr char kExitCodeHelp[] =
    "Exit status of send, on, off, permanent-on, permanent-off, test-page and comm-test:\n"
    "  0  completed (with --check: would be sent)\n"
    "  1  the tool itself failed\n"
    "  2  an option it cannot use (malformed --port, --page; comm-test without a connection)\n"
    "  3  design refused (unreadable or malformed file, page size refused, nothing rendered)\n"
    "  4  the connection could not be opened (port, printer, queue)\n"
    "  5  the transfer failed after the open\n"
    "  6  cancelled by Ctrl-C, SIGTERM or SIGHUP\n"
    "With --json these verbs print one JSON object on standard output; messages and the\n"
    "progress bar (on a terminal only) go to standard error.";

}  // namespace azuz::cli
