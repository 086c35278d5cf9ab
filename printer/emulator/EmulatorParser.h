#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace azuz {

// What a virtual printer remembers between connections.
struct EmulatorState {
  bool watermarkOn = false;
  bool userSettingMode = false;
  std::string memorySwitch6 = "00000000";  // one character per position, '0' or '1'
  int downloads = 0;

  // The third position of memory switch 6.
  bool PermanentWatermark() const { return memorySwitch6[2] == '1'; }
  std::string Describe() const;
};

struct EmulatorEvent {
  enum Kind {
    kWatermarkOn,
    kWatermarkOff,
    kDownload,            // `image` holds the header and rows
    kDownloadRefused,     // beyond the bounds; its bytes are skipped
    kDownloadIncomplete,  // the stream ended inside the rows
    kUserSettingEnter,
    kUserSettingLeave,
    kMemorySwitch,
    kOtherUserSetting,
    kText,
    kUnrecognised,
  };
  Kind kind;
  std::string text;  // the log line
  std::string line;  // kText: the line as received, without its line feed
  std::vector<std::uint8_t> image;
  int width = 0;  // dots, a multiple of 8
  int height = 0;
};

// Reads what a host sends to a QPT printer: the watermark commands (on, off, download), the
// GS ( E user-setting commands, and plain text. Bytes may arrive in any pieces; every buffer is
// bounded and any byte sequence is accepted.
class EmulatorParser {
 public:
  static constexpr int kMaxWidth = 8192;                   // dots
  static constexpr std::size_t kMaxImageBytes = 4u << 20;  // rows kept for one download
  static constexpr std::size_t kMaxLine = 1024;            // longer text is cut into lines
  static constexpr std::size_t kMaxUserSettingParams = 1024;
  static constexpr std::uint8_t kUserSettingAnswer[3] = {0x37, 0x20, 0x00};

  explicit EmulatorParser(EmulatorState& state) : state(state) {}

  std::function<void(const EmulatorEvent&)> onEvent;
  // Bytes the printer sends back.
  std::function<void(const std::uint8_t* data, std::size_t length)> onAnswer;

  void Feed(const std::uint8_t* data, std::size_t length);
  // The host has been quiet: a pending 08 57 45 00 was the off command, pending text a line.
  void Idle();
  // The connection ended: as Idle, and an unfinished download is reported and dropped.
  void EndOfStream();

 private:
  enum class Mode {
    kIdle,
    kWatermarkPrefix,  // `pending` holds 08, 08 57 or 08 57 45
    kOffOrDownload,    // 08 57 45 00 seen: 00 08 57 44 01 next makes it a download
    kImageHeader,      // `pending` holds the image header so far
    kImageRows,
    kSkipRows,
    kUserSettingPrefix,  // `pending` holds 1D, 1D 28 or 1D 28 45
    kUserSettingLength,  // `pending` holds pL
    kUserSettingParams,
  };

  void Step(std::uint8_t byte);
  void Replay(std::vector<std::uint8_t> bytes);
  void Emit(EmulatorEvent::Kind kind, std::string text);
  void FlushText();
  void FlushUnrecognised();
  void Unrecognised(std::size_t count);
  void StartImage();
  void FinishImage();
  void FinishUserSetting();
  void SetMemorySwitches();

  EmulatorState& state;
  Mode mode = Mode::kIdle;
  std::vector<std::uint8_t> pending;  // at most the 9-byte image header
  std::string line;
  std::size_t unrecognised = 0;
  std::vector<std::uint8_t> image;
  std::size_t rowsLeft = 0;
  int imageWidth = 0;
  int imageHeight = 0;
  std::size_t paramsLeft = 0;
  std::size_t paramsSkipped = 0;
  std::vector<std::uint8_t> params;
};

}  // namespace azuz
