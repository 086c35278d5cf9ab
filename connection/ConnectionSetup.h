#pragma once

#include <string>

#include "CRegistUsb.h"
#include "ConnectionState.h"
#include "DeviceUri.h"

namespace azuz {

// Stored settings keys and the USB driver keys, under HKEY_LOCAL_MACHINE.
inline constexpr char kCustomKeyL710[] = "Software\\ORVELIX\\QPT-L710\\KDW\\Custom";
inline constexpr char kCustomKeyL712[] = "Software\\ORVELIX\\QPT-L712\\KDW\\Custom";
inline constexpr char kWatermarkKey[] = "Software\\ORVELIX\\QPT-L710\\KDW\\Watermark";
inline constexpr char kDriverKeyL710[] =
    "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\ORVELIX_QPT-L710";
inline constexpr char kDriverKeyL712[] =
    "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\ORVELIX_QPT-L712";

// The arguments after the program's own, joined with one blank: the command-line tail.
std::string CommandLineTail(int argc, const char* const* argv, int first = 1);

// The start-up decision on printer model and connection, and the state it leaves: what the main
// frame owns. Failures are never shown; they end in defaults.
class ConnectionSetup {
 public:
  ConnectionState state;
  CRegistUsb usbDevices;  // refreshed on every USB presence check
  std::string registryPath;

  ConnectionSetup();

  // Sets the current model name and the state from the command-line tail: "Custom <model>",
  // a spooler printer's name, or nothing.
  void SelectStartupConnection(const std::string& commandLine);
  // Fills the state from one stored-settings key, falling back to the defaults.
  void LoadStoredSettings(const std::string& keyPath);
  // portName, portKind, the kind's settings and the model name from the spooler queue of that
  // name; false when there is no such queue or its device is of no known kind.
  bool ResolvePrinter(const std::string& printerName);
  // The same from what the spooler records of a queue: its make-and-model and device URI.
  bool ResolveSpoolerQueue(const std::string& makeAndModel, const std::string& deviceUri);

  // Refreshes usbDevices and returns the maker's present device with that serial, if any.
  const UsbDeviceEntry* FindUsbDeviceBySerial(const std::string& serial);
  // The device node the current port name stands for; empty for TCP/IP and driver mode or when
  // nothing matches.
  std::string DeviceNode() const;

 private:
  void SetStoredDefaults();
};

// The serial port table: each recorded text that matches a row sets its field; a text that
// matches none leaves the field as it was, except that an empty flow-control text means hardware
// and "n" (no flow control) means no handshake at all.
void ReadSerialPortSettings(CommSettings& settings, const SerialPortFields& fields);

}  // namespace azuz
