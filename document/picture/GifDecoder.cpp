#include "GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

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

// Decodes the image whose descriptor was just read. A clean but early end of the compressed
// data keeps what was decoded (the rest stays white); data that stops short is damage.
bool ReadImage(GifFileType* gif, int transparent, Picture& picture, std::string& why) {
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
  picture.width = image.Width;
  picture.height = image.Height;
  picture.pixels.assign(static_cast<std::size_t>(image.Width) * image.Height, kWhite);
  std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
  for (int stored = 0; stored < image.Height; ++stored) {
    if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR) {
      if (gif->Error == D_GIF_ERR_EOF_TOO_SOON || gif->Error == D_GIF_ERR_IMAGE_DEFECT) {
        break;
      }
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

// Reads records up to the first image and decodes that image alone; later frames are never
// read, so a long animation costs no more than its first picture.
std::optional<Picture> DecodeFirstImage(std::span<const std::uint8_t> bytes, std::string& why) {
  MemoryInput input{bytes};
  int error = 0;
  GifHandle gif(DGifOpen(&input, ReadMemory, &error));
  if (!gif) {
    why = GifError(error);
    return std::nullopt;
  }
  int transparent = -1;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
      why = GifError(gif->Error);
      return std::nullopt;
    }
    if (type == EXTENSION_RECORD_TYPE) {
      if (!ReadExtension(gif.get(), transparent)) {
        why = GifError(gif->Error);
        return std::nullopt;
      }
    } else if (type == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) {
        why = GifError(gif->Error);
        return std::nullopt;
      }
      Picture picture;
      if (!ReadImage(gif.get(), transparent, picture, why)) {
        return std::nullopt;
      }
      return picture;
    } else {
      why = "GIF holds no image";
      return std::nullopt;
    }
  }
}

}  // namespace

std::optional<Picture> DecodeGif(std::span<const std::uint8_t> bytes, std::string* why) {
  std::string reason;
  std::optional<Picture> picture;
  try {
    picture = DecodeFirstImage(bytes, reason);
  } catch (const std::bad_alloc&) {
    reason = "not enough memory for the picture";
  }
  if (!picture && why != nullptr) {
    *why = reason;
  }
  return picture;
}

}  // namespace azuz
