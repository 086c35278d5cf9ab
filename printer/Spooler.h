#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace azuz {

enum class SpoolerJob { Printed, NoPrinter, NotStarted };

// Each call submits one complete raw spooler job named "WaterMark: Communication Test" with exactly
// the given bytes to the named printer.
// SpoolerWrite: false when the job could not be made; a printer that can't be found also shows the
// empty message box.
bool SpoolerWrite(const std::string& printerName, const std::uint8_t* data, std::size_t length);
// SpoolerTestPrint: 0 on success, -1 when the printer can't be found, -2 when the job can't be
// started. Shows nothing.
int SpoolerTestPrint(const std::string& printerName, const std::uint8_t* data, std::size_t length);
// The job alone, silent: CupsLastError() says why it was not printed.
SpoolerJob SubmitSpoolerJob(const std::string& printerName, const std::uint8_t* data,
                            std::size_t length);

// From any thread: the jobs under way give up within about a tenth of a second; later ones are
// not affected.
void CancelSpoolerJobs();

}  // namespace azuz
