#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace azuz {

// The settings dialog's port lists. Each appends to the entries of a drop-down list.

// COM1 to COM30, then the USB and ACM serial nodes present in devDir (/dev/ttyUSB0, ...) in
// numeric order.
void FillSerialPortList(std::vector<std::string>& entries, const std::string& devDir = "/dev");

// LPT1 to LPT10.
void FillParallelPortList(std::vector<std::string>& entries);

// Every present usblp printer that opens, of any maker: the entry "USB%02d" numbered by the paths
// already in devicePaths, and its device path appended there. A device that does not open is
// skipped with "FAILED to open <path>" on diagnostics, the standard output unless told otherwise;
// `reason`, when given, gets why the first such device did not open.
void FillUsbPrinterList(std::vector<std::string>& entries, std::vector<std::string>& devicePaths,
                        std::FILE* diagnostics = stdout, std::string* reason = nullptr);

}  // namespace azuz
