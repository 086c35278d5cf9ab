#include "GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "GifLzw.h"

namespace azuz {

namespace {

constexpr int kGraphicControl = 0xF9;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

struct MemoryInput {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int wanted) {
  auto* input = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t count = std::min(static_cast<std::size_t>(std::max(wanted, 0)),
                                     input->bytes.size() - input->position);
  if (count > 0) {
    std::memcpy(out, input->bytes.data() + input->position, count);
  }
  input->position += count;
  return static_cast<int>(count);
}

struct GifCloser {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

std::string GifError(int code) {
  const char* text = GifErrorString(code);
  return std::string("GIF: ") + (text != nullptr ? text : "unknown error");
}

// Reads one extension; a graphic control block sets the transparent index (-1: none) for the
// image that follows. The sub-blocks are read to their end either way.
bool ReadExtension(GifFileType* gif, int& transparent) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
    return false;
  }
  if (code == kGraphicControl && block != nullptr) {
    GraphicsControlBlock control;
    if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK) {
      transparent = control.TransparentColor;
    }
  }
  while (block != nullptr) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
      return false;
    }
  }
  return true;
}

// Interlaced images store every 8th row from 0, every 8th from 4, every 4th from 2, then every
// 2nd from 1. Returns the picture row of the n-th stored row.
int InterlacedRow(int stored, int height) {
  static constexpr int kStart[4] = {0, 4, 2, 1};
  static constexpr int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const int rows =
        height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
    if (stored < rows) {
      return kStart[pass] + stored * kStep[pass];
    }
    stored -= rows;
  }
  return stored;  // not reached for stored < height
}

// Whether the image whose descriptor was just read can be decoded within the budget.
bool ImageAllowed(const GifFileType* gif, std::int64_t budget, std::string& why) {
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* map = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
  if (map == nullptr || map->Colors == nullptr) {
    why = "GIF image without a colour table";
    return false;
  }
  if (!PictureSizeAllowed(image.Width, image.Height)) {
    why = "GIF image size " + std::to_string(image.Width) + " x " + std::to_string(image.Height) +
          " refused";
    return false;
  }
  why = PictureBudgetRefusal(std::int64_t{image.Width} * image.Height, budget);
  return why.empty();
}

// Decodes the image whose descriptor was just read and whose code stream was checked.
bool ReadImage(GifFileType* gif, int transparent, Picture& picture, std::string& why) {
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* map = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
  picture.width = image.Width;
  picture.height = image.Height;
  picture.pixels.assign(static_cast<std::size_t>(image.Width) * image.Height, kWhite);
  std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
  for (int stored = 0; stored < image.Height; ++stored) {
    if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR) {
      why = GifError(gif->Error);
      return false;
    }
    const int y = image.Interlace ? InterlacedRow(stored, image.Height) : stored;
    std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * image.Width;
    for (int x = 0; x < image.Width; ++x) {
      const int index = line[static_cast<std::size_t>(x)];
      if (index == transparent) {
        continue;  // transparent pixels are white, as the picture was filled
      }
      if (index >= map->ColorCount) {
        why = "GIF pixel outside the colour table";
        return false;
      }
      const GifColorType& c = map->Colors[index];
      out[x] = 0xFF000000u | (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
    }
  }
  return true;
}

struct GifSession {
  MemoryInput input;
  GifHandle gif;
};

// Opens the GIF and reads its records up to the first image's descriptor; the transparent
// index of a graphic control block on the way applies to that image. Later frames are never
// read, so a long animation costs no more than its first picture.
bool ReachFirstImage(std::span<const std::uint8_t> bytes, GifSession& session, int& transparent,
                     std::string& why) {
  session.input = MemoryInput{bytes};
  int error = 0;
  session.gif.reset(DGifOpen(&session.input, ReadMemory, &error));
  GifFileType* gif = session.gif.get();
  if (gif == nullptr) {
    why = GifError(error);
    return false;
  }
  transparent = -1;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
      why = GifError(gif->Error);
      return false;
    }
    if (type == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif, transparent)) {
        why = GifError(gif->Error);
        return false;
      }
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) == GIF_ERROR) {
        why = GifError(gif->Error);
        return false;
      }
      return true;
    } else {
      why = "GIF holds no image";
      return false;
    }
  }
}

// Checks the code stream of the image whose descriptor was just read.
bool CodeStreamSound(GifFileType* gif, std::string& why) {
  int codeSize = 0;
  GifByteType* block = nullptr;
  std::vector<std::uint8_t> data;
  if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR) {
    why = GifError(gif->Error);
    return false;
  }
  while (block != nullptr) {
    data.insert(data.end(), block + 1, block + 1 + block[0]);
    if (DGifGetCodeNext(gif, &block) == GIF_ERROR) {
      why = GifError(gif->Error);
      return false;
    }
  }
  return azuz::gif::CheckGifLzw(codeSize, data, std::int64_t{gif->Image.Width} * gif->Image.Height,
                                why);
}

// The first image: its code stream checked in a first pass, then decoded by giflib in a second.
std::optional<Picture> DecodeFirstImage(std::span<const std::uint8_t> bytes, std::int64_t budget,
                                        std::string& why) {
  int transparent = -1;
  {
    GifSession check;
    if (!ReachFirstImage(bytes, check, transparent, why) ||
        !ImageAllowed(check.gif.get(), budget, why) || !CodeStreamSound(check.gif.get(), why)) {
      return std::nullopt;
    }
  }
  GifSession decode;
  Picture picture;
  if (!ReachFirstImage(bytes, decode, transparent, why) ||
      !ReadImage(decode.gif.get(), transparent, picture, why)) {
    return std::nullopt;
  }
  return picture;
}

}  // namespace

std::optional<Picture> DecodeGif(std::span<const std::uint8_t> bytes, std::string* why,
                                 std::int64_t pixelBudget) {
  std::string reason;
  std::optional<Picture> picture;
  try {
    picture = DecodeFirstImage(bytes, pixelBudget, reason);
  } catch (const std::bad_alloc&) {
    reason = "not enough memory for the picture";
  } catch (const std::exception& failure) {
    reason = failure.what();
  }
  if (!picture && why != nullptr) {
    *why = reason;
  }
  return picture;
}

}  // namespace azuz
