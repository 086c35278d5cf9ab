#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace azuz {

// The packed 1-bit picture the renderer makes (PackCanvas.h names the same type); the commands
// carry it as bytes and need nothing else of the renderer.
using WatermarkImage = std::vector<std::uint8_t>;

// Menu command ids of the six printer commands.
enum PrinterCommandId : int {
  kCommandDownload = 32794,
  kCommandTestPage = 32795,
  kCommandWatermarkOn = 32809,
  kCommandWatermarkOff = 32810,
  kCommandPermanentOn = 32815,
  kCommandPermanentOff = 32816,
};

// One block for the printer, sent whole through the transfer, with the progress window's caption.
struct PrinterCommand {
  std::vector<std::uint8_t> bytes;
  std::string caption;
  bool readReply = false;  // the printer's answer is read after the block and dropped
};

inline constexpr std::size_t kTestPageLength = 4028;
inline constexpr std::size_t kPermanentSwitchLength = 32;

// 08 57 45 00 followed by the image (header and rows); the image carries its own size.
PrinterCommand DownloadCommand(const WatermarkImage& image);
PrinterCommand TestPageCommand();
// 08 57 45 01 (on) or 08 57 45 00 (off).
PrinterCommand WatermarkSwitchCommand(bool on);
// Enter the user-setting mode, set memory switch 6 position 3, leave; a reply is expected.
PrinterCommand PermanentSwitchCommand(bool on);

// The command of a menu id; false for an id that isn't a printer command or for the download,
// which needs the image.
bool CommandForId(int id, PrinterCommand& command);

}  // namespace azuz
