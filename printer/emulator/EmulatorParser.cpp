#include "EmulatorParser.h"

#include <algorithm>
#include <initializer_list>

namespace azuz {

namespace {

constexpr std::uint8_t kWatermarkPrefix[] = {0x08, 0x57, 0x45};
constexpr std::uint8_t kImageMagic[] = {0x00, 0x08, 0x57, 0x44, 0x01};
constexpr std::uint8_t kUserSettingPrefix[] = {0x1D, 0x28, 0x45};
constexpr std::size_t kImageHeaderSize = 9;
constexpr std::size_t kSwitchGroup = 9;  // switch number and eight setting characters

bool IsTextByte(std::uint8_t b) {
  return b >= 0x20 || b == '\r' || b == '\t';
}

bool ParamsAre(const std::vector<std::uint8_t>& params, std::initializer_list<std::uint8_t> want) {
  return params.size() == want.size() && std::equal(want.begin(), want.end(), params.begin());
}

}  // namespace

std::string EmulatorState::Describe() const {
  return std::string("watermark ") + (watermarkOn ? "on" : "off") + ", permanent watermark " +
         (PermanentWatermark() ? "on" : "off") + ", memory switch 6 = " + memorySwitch6 +
         ", user-setting mode " + (userSettingMode ? "on" : "off") + ", " +
         std::to_string(downloads) + (downloads == 1 ? " download" : " downloads");
}

void EmulatorParser::Feed(const std::uint8_t* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (mode == Mode::kImageRows) {
      // Rows come in bulk: take as many as this piece holds.
      const std::size_t take = std::min(rowsLeft, length - i);
      image.insert(image.end(), data + i, data + i + take);
      rowsLeft -= take;
      i += take - 1;
      if (rowsLeft == 0) {
        FinishImage();
      }
      continue;
    }
    Step(data[i]);
  }
}

void EmulatorParser::Emit(EmulatorEvent::Kind kind, std::string text) {
  if (kind != EmulatorEvent::kUnrecognised) {
    FlushUnrecognised();
    if (kind != EmulatorEvent::kText) {
      FlushText();
    }
  }
  if (onEvent) {
    EmulatorEvent event{kind, std::move(text), {}, {}, 0, 0};
    onEvent(event);
  }
}

void EmulatorParser::FlushText() {
  if (line.empty()) {
    return;
  }
  FlushUnrecognised();
  if (onEvent) {
    EmulatorEvent event{EmulatorEvent::kText, "text \"" + line + "\"", line, {}, 0, 0};
    onEvent(event);
  }
  line.clear();
}

void EmulatorParser::Unrecognised(std::size_t count) {
  unrecognised += count;
}

void EmulatorParser::FlushUnrecognised() {
  if (unrecognised == 0) {
    return;
  }
  const std::size_t count = unrecognised;
  unrecognised = 0;
  Emit(EmulatorEvent::kUnrecognised,
       std::to_string(count) + (count == 1 ? " unrecognised byte" : " unrecognised bytes"));
}

// An owned copy: Step refills `pending`, which these bytes were moved out of.
void EmulatorParser::Replay(
    std::vector<std::uint8_t> bytes) {  // NOLINT(performance-unnecessary-value-param)
  for (std::uint8_t b : bytes) {
    Step(b);
  }
}

void EmulatorParser::Step(std::uint8_t byte) {
  switch (mode) {
    case Mode::kIdle:
      if (byte == kWatermarkPrefix[0]) {
        pending.assign(1, byte);
        mode = Mode::kWatermarkPrefix;
      } else if (byte == kUserSettingPrefix[0]) {
        pending.assign(1, byte);
        mode = Mode::kUserSettingPrefix;
      } else if (byte == 0x00) {
        // the zero padding of the test page
      } else if (byte == '\n') {
        if (line.empty()) {
          Emit(EmulatorEvent::kText, "text \"\"");
        }
        FlushText();
      } else if (IsTextByte(byte)) {
        line += static_cast<char>(byte);
        if (line.size() >= kMaxLine) {
          FlushText();
        }
      } else {
        Unrecognised(1);
      }
      return;

    case Mode::kWatermarkPrefix:
      if (pending.size() < 3) {
        if (byte == kWatermarkPrefix[pending.size()]) {
          pending.push_back(byte);
          return;
        }
        Unrecognised(pending.size());
        mode = Mode::kIdle;
        Step(byte);
        return;
      }
      mode = Mode::kIdle;
      if (byte == 0x01) {
        state.watermarkOn = true;
        Emit(EmulatorEvent::kWatermarkOn, "watermark on");
      } else if (byte == 0x00) {
        mode = Mode::kOffOrDownload;
      } else {
        Unrecognised(4);
      }
      return;

    case Mode::kOffOrDownload:
      if (byte == kImageMagic[0]) {
        pending.assign(1, byte);
        mode = Mode::kImageHeader;
        return;
      }
      mode = Mode::kIdle;
      state.watermarkOn = false;
      Emit(EmulatorEvent::kWatermarkOff, "watermark off");
      Step(byte);
      return;

    case Mode::kImageHeader:
      pending.push_back(byte);
      if (pending.size() <= sizeof kImageMagic && byte != kImageMagic[pending.size() - 1]) {
        // Not an image after all: the off command, then whatever these bytes are.
        mode = Mode::kIdle;
        state.watermarkOn = false;
        Emit(EmulatorEvent::kWatermarkOff, "watermark off");
        std::vector<std::uint8_t> bytes = std::move(pending);
        pending.clear();
        Replay(std::move(bytes));
        return;
      }
      if (pending.size() == kImageHeaderSize) {
        StartImage();
      }
      return;

    case Mode::kImageRows:
      image.push_back(byte);
      if (--rowsLeft == 0) {
        FinishImage();
      }
      return;

    case Mode::kSkipRows:
      if (--rowsLeft == 0) {
        mode = Mode::kIdle;
      }
      return;

    case Mode::kUserSettingPrefix:
      if (byte == kUserSettingPrefix[pending.size()]) {
        pending.push_back(byte);
        if (pending.size() == 3) {
          pending.clear();
          mode = Mode::kUserSettingLength;
        }
        return;
      }
      Unrecognised(pending.size());
      mode = Mode::kIdle;
      Step(byte);
      return;

    case Mode::kUserSettingLength:
      pending.push_back(byte);
      if (pending.size() == 2) {
        paramsLeft = pending[0] + 256u * pending[1];
        pending.clear();
        params.clear();
        paramsSkipped = 0;
        if (paramsLeft == 0) {
          FinishUserSetting();
        } else {
          mode = Mode::kUserSettingParams;
        }
      }
      return;

    case Mode::kUserSettingParams:
      if (params.size() < kMaxUserSettingParams) {
        params.push_back(byte);
      } else {
        ++paramsSkipped;
      }
      if (--paramsLeft == 0) {
        FinishUserSetting();
      }
      return;
  }
}

void EmulatorParser::StartImage() {
  imageWidth = pending[5] | pending[6] << 8;
  imageHeight = pending[7] | pending[8] << 8;
  const std::size_t rowBytes = (static_cast<std::size_t>(imageWidth) + 7) / 8;
  rowsLeft = rowBytes * static_cast<std::size_t>(imageHeight);
  if (imageWidth > kMaxWidth || rowsLeft > kMaxImageBytes) {
    Emit(EmulatorEvent::kDownloadRefused, "download of " + std::to_string(imageWidth) + " x " +
                                              std::to_string(imageHeight) +
                                              " dots refused: beyond the emulator's bounds");
    mode = rowsLeft > 0 ? Mode::kSkipRows : Mode::kIdle;
    pending.clear();
    return;
  }
  image = std::move(pending);
  pending.clear();
  image.reserve(kImageHeaderSize + rowsLeft);
  mode = Mode::kImageRows;
  if (rowsLeft == 0) {
    FinishImage();
  }
}

void EmulatorParser::FinishImage() {
  mode = Mode::kIdle;
  ++state.downloads;
  FlushUnrecognised();
  FlushText();
  if (onEvent) {
    EmulatorEvent event{EmulatorEvent::kDownload,
                        "download " + std::to_string(imageWidth) + " x " +
                            std::to_string(imageHeight) + " dots (" + std::to_string(image.size()) +
                            " image bytes)",
                        {},
                        std::move(image),
                        imageWidth,
                        imageHeight};
    onEvent(event);
  }
  image.clear();
}

void EmulatorParser::FinishUserSetting() {
  mode = Mode::kIdle;
  const int function = params.empty() ? -1 : params[0];
  if (paramsSkipped == 0 && ParamsAre(params, {0x01, 'I', 'N'})) {
    state.userSettingMode = true;
    Emit(EmulatorEvent::kUserSettingEnter, "user-setting mode entered (answered 37 20 00)");
    if (onAnswer) {
      onAnswer(kUserSettingAnswer, sizeof kUserSettingAnswer);
    }
  } else if (paramsSkipped == 0 && ParamsAre(params, {0x02, 'O', 'U', 'T'})) {
    state.userSettingMode = false;
    Emit(EmulatorEvent::kUserSettingLeave, "user-setting mode left");
  } else if (function == 3 && paramsSkipped == 0) {
    SetMemorySwitches();
  } else {
    Emit(EmulatorEvent::kOtherUserSetting,
         "user-setting function " + std::to_string(function) + " with " +
             std::to_string(params.size() + paramsSkipped) + " parameter bytes ignored");
  }
  params.clear();
}

void EmulatorParser::SetMemorySwitches() {
  const std::size_t groups = (params.size() - 1) / kSwitchGroup;
  if (!state.userSettingMode || groups == 0 || (params.size() - 1) % kSwitchGroup != 0) {
    Emit(EmulatorEvent::kOtherUserSetting,
         state.userSettingMode ? "malformed memory switch setting ignored"
                               : "memory switch setting ignored outside the user-setting mode");
    return;
  }
  for (std::size_t g = 0; g < groups; ++g) {
    const std::uint8_t* group = params.data() + 1 + g * kSwitchGroup;
    std::string setting(reinterpret_cast<const char*>(group + 1), 8);
    if (group[0] != 6) {
      Emit(EmulatorEvent::kOtherUserSetting,
           "memory switch " + std::to_string(group[0]) + " not emulated");
      continue;
    }
    for (std::size_t i = 0; i < 8; ++i) {
      if (setting[i] == '0' || setting[i] == '1') {
        state.memorySwitch6[i] = setting[i];
      }
    }
    Emit(EmulatorEvent::kMemorySwitch, "memory switch 6 = " + state.memorySwitch6 +
                                           " (permanent watermark " +
                                           (state.PermanentWatermark() ? "on)" : "off)"));
  }
}

void EmulatorParser::Idle() {
  if (mode == Mode::kOffOrDownload) {
    mode = Mode::kIdle;
    state.watermarkOn = false;
    Emit(EmulatorEvent::kWatermarkOff, "watermark off");
  }
  FlushText();
  FlushUnrecognised();
}

void EmulatorParser::EndOfStream() {
  switch (mode) {
    case Mode::kImageHeader:
      state.watermarkOn = false;
      Emit(EmulatorEvent::kWatermarkOff, "watermark off");
      Unrecognised(pending.size() - 1);
      break;
    case Mode::kImageRows:
      Emit(EmulatorEvent::kDownloadIncomplete,
           "download incomplete: " + std::to_string(image.size() - kImageHeaderSize) + " of " +
               std::to_string(image.size() - kImageHeaderSize + rowsLeft) + " row bytes");
      break;
    case Mode::kWatermarkPrefix:
    case Mode::kUserSettingPrefix:
      Unrecognised(pending.size());
      break;
    case Mode::kUserSettingLength:
    case Mode::kUserSettingParams:
      Emit(EmulatorEvent::kOtherUserSetting, "unfinished user-setting command dropped");
      break;
    default:
      break;
  }
  if (mode != Mode::kOffOrDownload) {
    mode = Mode::kIdle;
  }
  Idle();
  pending.clear();
  params.clear();
  image.clear();
  image.shrink_to_fit();
  rowsLeft = 0;
  paramsLeft = 0;
}

}  // namespace azuz
