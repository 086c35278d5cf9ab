#pragma once

#include <array>
#include <string>

namespace azuz {

// A spooler queue's device URI taken apart. The scheme is compared without case.
std::string DeviceUriScheme(const std::string& uri);

// The texts of a serial port's recorded settings, in the order baud, parity, data bits, stop
// bits, flow control; each empty when not recorded.
using SerialPortFields = std::array<std::string, 5>;

// serial:/dev/ttyS1?baud=19200+bits=7+parity=even+flow=soft+stop=1. The spooler's option words
// become the letters of the recorded form (even -> e, soft -> x, hard -> p, flow=none -> n);
// anything else is passed on as written. False when the URI names no device node.
bool ParseSerialUri(const std::string& uri, std::string& node, SerialPortFields& fields);

// parallel:/dev/lp0. False when the URI names no device node.
bool ParseParallelUri(const std::string& uri, std::string& node);

// usb://Make/Model?serial=S&interface=0: the serial, percent-decoded; false when there is none.
bool ParseUsbUriSerial(const std::string& uri, std::string& serial);

// socket://host[:port][/...][?...]. host is empty when the URI names none; hasPort is false when
// the port is present but not a number from 1 to 65535. An absent port is 9100.
bool ParseSocketUri(const std::string& uri, std::string& host, int& port, bool& hasPort);

}  // namespace azuz
