#pragma once

class QPrinter;

namespace azuz {

class CORVELIXImageToolView;

// The process-wide printer the print commands share, as chosen by the print setup command.
QPrinter& SharedPrinter();

// Runs the print setup dialog over SharedPrinter().
void RunPrintSetup(CORVELIXImageToolView& view);

// Paints the view's drawing on one printer page at the screen's physical size; false when the
// printer could not be started.
bool PrintView(CORVELIXImageToolView& view, QPrinter& printer);

}  // namespace azuz
