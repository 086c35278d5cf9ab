#include "PrinterCommands.h"

#include <cstring>

namespace azuz {

namespace {

constexpr std::uint8_t kWatermarkPrefix[] = {0x08, 0x57, 0x45};

std::vector<std::uint8_t> WatermarkBytes(std::uint8_t mode) {
  return {kWatermarkPrefix[0], kWatermarkPrefix[1], kWatermarkPrefix[2], mode};
}

}  // namespace

PrinterCommand DownloadCommand(const WatermarkImage& image) {
  PrinterCommand command{WatermarkBytes(0x00), "Download Watermark image", false};
  command.bytes.insert(command.bytes.end(), image.begin(), image.end());
  return command;
}

PrinterCommand TestPageCommand() {
  static constexpr char kStart[] = "Watermark Test Start.....\n";
  static constexpr char kRecord[] = "ABCDEFGHIJ       123456789\n";
  constexpr std::size_t kRecordStride = 37;  // 27 bytes of text and 10 zero bytes

  PrinterCommand command{std::vector<std::uint8_t>(kTestPageLength, 0), "Print test watermark.",
                         false};
  std::uint8_t* page = command.bytes.data();
  std::memcpy(page, kStart, sizeof kStart - 1);
  std::memset(page + 26, '-', 40);
  page[66] = '\n';
  for (std::size_t i = 0; i < 40; ++i) {
    std::memcpy(page + 67 + i * kRecordStride, kRecord, sizeof kRecord - 1);
  }
  return command;
}

PrinterCommand WatermarkSwitchCommand(bool on) {
  return {WatermarkBytes(on ? 0x01 : 0x00), on ? "Set watermark On." : "Set watermark Off.", false};
}

PrinterCommand PermanentSwitchCommand(bool on) {
  std::vector<std::uint8_t> bytes = {
      0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E,                    // enter user setting
      0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x06, 0x32, 0x32, 0x00, 0x32,  // memory switch 6
      0x32, 0x32, 0x32, 0x32,                                            // '2' keeps a position
      0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54};             // leave user setting
  bytes[17] = on ? 0x31 : 0x30;
  return {std::move(bytes), on ? "Set permanent watermark On." : "Set permanent watermark Off.",
          true};
}

bool CommandForId(int id, PrinterCommand& command) {
  switch (id) {
    case kCommandTestPage:
      command = TestPageCommand();
      return true;
    case kCommandWatermarkOn:
    case kCommandWatermarkOff:
      command = WatermarkSwitchCommand(id == kCommandWatermarkOn);
      return true;
    case kCommandPermanentOn:
    case kCommandPermanentOff:
      command = PermanentSwitchCommand(id == kCommandPermanentOn);
      return true;
    default:
      return false;
  }
}

}  // namespace azuz
