// The printer emulator's stream parser on arbitrary bytes, cut into pieces the input chooses.
#include <cstddef>
#include <cstdint>

#include "EmulatorParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  azuz::EmulatorState state;
  azuz::EmulatorParser parser(state);
  std::size_t answered = 0;
  parser.onEvent = [&state](const azuz::EmulatorEvent& event) {
    // Whatever came in, the state stays well-formed and a download is what its header says.
    if (state.memorySwitch6.size() != 8 ||
        (event.kind == azuz::EmulatorEvent::kDownload &&
         event.image.size() != 9 + static_cast<std::size_t>((event.width + 7) / 8) *
                                       static_cast<std::size_t>(event.height))) {
      __builtin_trap();
    }
  };
  parser.onAnswer = [&answered](const std::uint8_t*, std::size_t n) { answered += n; };
  const std::size_t piece = 1 + data[0] % 97;
  for (std::size_t offset = 1; offset < size; offset += piece) {
    parser.Feed(data + offset, std::min(piece, size - offset));
    if (data[offset] == 0xA5) {
      parser.Idle();
    }
  }
  parser.EndOfStream();
  return 0;
}
