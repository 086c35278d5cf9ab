#include "JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>

namespace azuz {

namespace {

// A progressive file may hold any number of scans, each a pass over the whole picture; real
// files have a dozen at most, damaged or hostile ones thousands.
constexpr int kMaxScans = 500;

// libjpeg's whole-picture buffers (the coefficients of a progressive or multi-scan file) may
// take no more memory than the picture itself may: a few header bytes claiming a huge picture
// then fail at the start instead of allocating it. Below this, the small buffers always fit.
constexpr long kJpegMinimumMemory = 16L * 1024 * 1024;
long WorkingMemory(std::int64_t pixelBudget) {
  return kJpegMinimumMemory + static_cast<long>(std::max<std::int64_t>(pixelBudget, 0) *
                                                static_cast<std::int64_t>(sizeof(std::uint32_t)));
}

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the decoder with the message kept. Warnings (damaged or missing data, which libjpeg fills in)
// are not fatal. The progress monitor bounds the number of scans.
struct Session {
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool scansExceeded;
};

Session* SessionOf(j_common_ptr cinfo) {
  return static_cast<Session*>(cinfo->client_data);
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  Session* session = SessionOf(cinfo);
  cinfo->err->format_message(cinfo, session->message);
  std::longjmp(session->jump, 1);
}

void OnMessage(j_common_ptr, int) {}

void OnProgress(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    SessionOf(cinfo)->scansExceeded = true;
    std::longjmp(SessionOf(cinfo)->jump, 1);
  }
}

std::uint32_t Opaque(unsigned r, unsigned g, unsigned b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Adobe CMYK and YCCK files store inverted inks; on those stored values each channel is
// C*K/255 rounded, as the common decoders do.
void CmykRow(const JSAMPLE* in, std::size_t width, std::uint32_t* out) {
  for (std::size_t x = 0; x < width; ++x, in += 4) {
    const unsigned k = in[3];
    out[x] = Opaque((in[0] * k + 127) / 255, (in[1] * k + 127) / 255, (in[2] * k + 127) / 255);
  }
}

void RgbRow(const JSAMPLE* in, std::size_t width, std::uint32_t* out) {
  for (std::size_t x = 0; x < width; ++x, in += 3) {
    out[x] = Opaque(in[0], in[1], in[2]);
  }
}

// The strings of a refusal are made out of line, so that no string lives in the frame that
// calls setjmp.
[[gnu::noinline]] void SetReason(std::string* reason, const char* text) {
  *reason = text;
}

[[gnu::noinline]] bool Refused(const jpeg_decompress_struct& cinfo, std::int64_t budget,
                               std::string* reason) {
  if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
    *reason = "JPEG size " + std::to_string(cinfo.image_width) + " x " +
              std::to_string(cinfo.image_height) + " refused";
    return true;
  }
  *reason = PictureBudgetRefusal(std::int64_t{cinfo.image_width} * cinfo.image_height, budget);
  return !reason->empty();
}

// Everything between setjmp and the last libjpeg call: no object with a destructor lives in
// this frame, so a jump back here skips nothing. `picture` and `row` belong to the caller.
bool Decompress(jpeg_decompress_struct* cinfo, Session* session,
                std::span<const std::uint8_t> bytes, std::int64_t budget, Picture* picture,
                std::vector<JSAMPLE>* row, std::string* reason) {
  if (setjmp(session->jump) != 0) {
    SetReason(reason, session->scansExceeded ? "JPEG has too many scans" : session->message);
    return false;
  }
  jpeg_create_decompress(cinfo);  // keeps err and client_data, clears the rest
  cinfo->progress = &session->progress;
  cinfo->mem->max_memory_to_use = WorkingMemory(budget);
  jpeg_mem_src(cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(cinfo, TRUE);
  if (Refused(*cinfo, budget, reason)) {
    return false;
  }
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(cinfo);

  const std::size_t width = cinfo->output_width;
  picture->width = static_cast<int>(cinfo->output_width);
  picture->height = static_cast<int>(cinfo->output_height);
  picture->pixels.resize(width * cinfo->output_height);
  row->resize(width * static_cast<std::size_t>(cinfo->output_components));
  while (cinfo->output_scanline < cinfo->output_height) {
    std::uint32_t* out = picture->pixels.data() + width * cinfo->output_scanline;
    JSAMPROW rows[1] = {row->data()};
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) {
      SetReason(reason, "JPEG decoder stalled");
      return false;
    }
    if (cmyk) {
      CmykRow(row->data(), width, out);
    } else {
      RgbRow(row->data(), width, out);
    }
  }
  // Every row is out: whatever follows the scans cannot change the picture, so it is not read.
  return true;
}

}  // namespace

std::optional<Picture> DecodeJpeg(std::span<const std::uint8_t> bytes, std::string* why,
                                  std::int64_t pixelBudget) {
  std::string reason;
  std::optional<Picture> picture;
  if (bytes.empty()) {
    reason = "empty file";
  } else {
    jpeg_decompress_struct cinfo{};
    Session session{};
    cinfo.err = jpeg_std_error(&session.errors);
    session.errors.error_exit = OnError;
    session.errors.emit_message = OnMessage;
    session.progress.progress_monitor = OnProgress;
    cinfo.client_data = &session;
    std::vector<JSAMPLE> row;
    picture.emplace();
    try {
      if (!Decompress(&cinfo, &session, bytes, pixelBudget, &*picture, &row, &reason)) {
        picture.reset();
      }
    } catch (const std::bad_alloc&) {
      picture.reset();
      reason = "not enough memory for the picture";
    } catch (const std::exception& failure) {
      picture.reset();
      reason = failure.what();
    }
    jpeg_destroy_decompress(&cinfo);
  }
  if (!picture && why != nullptr) {
    *why = reason;
  }
  return picture;
}

}  // namespace azuz
