#include "SerialLine.h"

#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "DeviceIo.h"

namespace azuz {

namespace {

struct SpeedEntry {
  int rate;
  speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000}};

bool Fail(std::string* error, const std::string& text) {
  if (error) {
    *error = text;
  }
  return false;
}

void SetLine(int fd, int line, bool on) {
  // A device without modem control simply keeps its lines; the line check after the set-up
  // decides whether the port is usable.
  ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

}  // namespace

int RequiredModemLine(const CommSettings& settings) {
  if (settings.noFlowControl) {
    return 0;
  }
  return settings.hardwareHandshake == 0 ? TIOCM_DSR : TIOCM_CTS;
}

bool ReadModemLines(int fd, int& lines) {
  return ioctl(fd, TIOCMGET, &lines) == 0;
}

bool SerialTermios(const CommSettings& settings, termios& t, std::string* error) {
  cfmakeraw(&t);
  t.c_oflag &= ~ONLCR;
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;

  // Speed is a whole word; size, parity and stop bits were single bytes in the original record.
  speed_t speed = B0;
  for (const SpeedEntry& entry : kSpeeds) {
    if (entry.rate == settings.baudRate) {
      speed = entry.speed;
    }
  }
  if (speed == B0) {
    return Fail(error, "unsupported line speed " + std::to_string(settings.baudRate));
  }
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);

  const int dataBits = settings.dataBits & 0xFF;
  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  if (dataBits < 5 || dataBits > 8) {
    return Fail(error, "unsupported character size " + std::to_string(dataBits));
  }
  t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[dataBits - 5];

  t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
  switch (settings.parity & 0xFF) {
    case 0:
      break;
    case 1:
      t.c_cflag |= PARENB | PARODD;
      break;
    case 2:
      t.c_cflag |= PARENB;
      break;
    case 3:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case 4:
      t.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      return Fail(error, "unsupported parity " + std::to_string(settings.parity & 0xFF));
  }
  if (settings.parity != 0) {
    t.c_iflag |= INPCK;
  }

  switch (settings.stopBits & 0xFF) {
    case 0:
      t.c_cflag &= ~CSTOPB;
      break;
    case 1:
    case 2:
      t.c_cflag |= CSTOPB;
      break;
    default:
      return Fail(error, "unsupported stop bits " + std::to_string(settings.stopBits & 0xFF));
  }

  if (settings.hardwareHandshake != 0 && settings.hardwareHandshake != 1) {
    return Fail(error, "hardware handshake " + std::to_string(settings.hardwareHandshake) +
                           " is neither 0 (DTR/DSR) nor 1 (RTS/CTS)");
  }
  const bool xonXoff = !settings.noFlowControl && settings.flowControl != 0;
  const bool rtsCts = !settings.noFlowControl && !xonXoff && settings.hardwareHandshake == 1;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (xonXoff) {
    t.c_iflag |= IXON | IXOFF;
  }
  t.c_cflag &= ~CRTSCTS;
  if (rtsCts) {
    t.c_cflag |= CRTSCTS;
  }
  return true;
}

bool ApplySerialLine(int fd, const CommSettings& settings, std::string* error) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) {
    return Fail(error, ErrnoText("read the line settings of", "the port", errno));
  }
  if (!SerialTermios(settings, t, error)) {
    return false;
  }
  if (tcsetattr(fd, TCSANOW, &t) != 0) {
    return Fail(error, ErrnoText("set the line settings of", "the port", errno));
  }
  if (settings.noFlowControl) {
    // Without flow control both lines just say that the host is there.
    SetLine(fd, TIOCM_DTR | TIOCM_RTS, true);
    return true;
  }
  const bool xonXoff = settings.flowControl != 0;
  SetLine(fd, TIOCM_DTR, !xonXoff && settings.hardwareHandshake == 0);
  SetLine(fd, TIOCM_RTS, !xonXoff && settings.hardwareHandshake == 1);
  return true;
}

}  // namespace azuz
