#pragma once

#include <termios.h>

#include <string>

#include "CommSettings.h"

namespace azuz {

// Sets an open terminal up from the serial words of CommSettings: raw 8-bit data path, speed,
// character size, parity (mark and space through CMSPAR), stop bits (1.5 becomes 2, as termios
// has no 1.5), and the flow control:
//   flowControl != 0      Xon/Xoff both ways, no hardware flow, DTR and RTS low;
//   hardwareHandshake 0   DTR raised, RTS low; output is held while DSR is low (in user space,
//                         termios has no DSR flow);
//   hardwareHandshake 1   CRTSCTS, RTS raised, DTR low;
//   noFlowControl         none of the above, DTR and RTS raised.
// Any other hardwareHandshake, an unsupported speed or an invalid size, parity or stop-bit value
// fails, as does a device that refuses the settings.
bool ApplySerialLine(int fd, const CommSettings& settings, std::string* error);
// The termios part of the above, on the device's current settings `t`.
bool SerialTermios(const CommSettings& settings, termios& t, std::string* error);

// The modem lines (TIOCM_* bits); false when the device can't report them (a pseudo-terminal).
bool ReadModemLines(int fd, int& lines);

// The line a port must show before it is accepted: DSR under hardwareHandshake 0, else CTS;
// none (0) without flow control.
int RequiredModemLine(const CommSettings& settings);

}  // namespace azuz
