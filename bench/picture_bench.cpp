// Decoding speed of a 2000 x 2000 picture as BMP and as JPEG, against a plain copy of the BMP's
// pixel bytes; the pictures are made here in memory. Prints the ratios at the end of the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <jpeglib.h>

#include "BmpDecoder.h"
#include "JpegDecoder.h"
#include "LittleEndian.h"
#include "PictureLoader.h"

namespace {

constexpr int kSide = 2000;

// Smooth gradients with a little texture: something a camera or a scanner might give.
std::vector<std::uint8_t> MakeRgb() {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kSide) * kSide * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      noise = noise * 1103515245u + 12345u;
      std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * kSide + x) * 3;
      p[0] = static_cast<std::uint8_t>(x * 255 / kSide);
      p[1] = static_cast<std::uint8_t>(y * 255 / kSide);
      p[2] = static_cast<std::uint8_t>(((x ^ y) & 0x3F) + ((noise >> 16) & 0x0F));
    }
  }
  return rgb;
}

// 24-bit BITMAPINFOHEADER file, bottom-up, rows of 6000 bytes (already a multiple of 4).
std::vector<std::uint8_t> MakeBmp(const std::vector<std::uint8_t>& rgb) {
  const std::uint32_t rowBytes = kSide * 3;
  const std::uint32_t offset = 14 + 40;
  std::vector<std::uint8_t> bmp(offset + static_cast<std::size_t>(rowBytes) * kSide, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  azuz::WriteLe32(&bmp[2], static_cast<std::uint32_t>(bmp.size()));
  azuz::WriteLe32(&bmp[10], offset);
  azuz::WriteLe32(&bmp[14], 40);
  azuz::WriteLe32(&bmp[18], kSide);
  azuz::WriteLe32(&bmp[22], kSide);
  azuz::WriteLe16(&bmp[26], 1);
  azuz::WriteLe16(&bmp[28], 24);
  for (int y = 0; y < kSide; ++y) {
    const std::uint8_t* in = rgb.data() + static_cast<std::size_t>(kSide - 1 - y) * rowBytes;
    std::uint8_t* out = bmp.data() + offset + static_cast<std::size_t>(y) * rowBytes;
    for (int x = 0; x < kSide; ++x) {
      out[3 * x] = in[3 * x + 2];
      out[3 * x + 1] = in[3 * x + 1];
      out[3 * x + 2] = in[3 * x];
    }
  }
  return bmp;
}

std::vector<std::uint8_t> MakeJpeg(const std::vector<std::uint8_t>& rgb) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = kSide;
  cinfo.image_height = kSide;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(rgb.data() +
                                        static_cast<std::size_t>(cinfo.next_scanline) * kSide * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> jpeg(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return jpeg;
}

const std::vector<std::uint8_t>& Rgb() {
  static const std::vector<std::uint8_t> rgb = MakeRgb();
  return rgb;
}
const std::vector<std::uint8_t>& Bmp() {
  static const std::vector<std::uint8_t> bmp = MakeBmp(Rgb());
  return bmp;
}
const std::vector<std::uint8_t>& Jpeg() {
  static const std::vector<std::uint8_t> jpeg = MakeJpeg(Rgb());
  return jpeg;
}

void Decode(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
  for (auto _ : state) {
    std::optional<azuz::Picture> picture = azuz::DecodePicture(bytes);
    if (!picture || picture->width != kSide) {
      state.SkipWithError("picture did not decode");
      return;
    }
    benchmark::DoNotOptimize(picture->pixels.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide * 4);
}

void BM_DecodeBmp24(benchmark::State& state) {
  Decode(state, Bmp());
}
void BM_DecodeJpeg(benchmark::State& state) {
  Decode(state, Jpeg());
}

// The floor for the BMP decoder: the same pixel bytes copied once into fresh memory.
void BM_CopyPixelBytes(benchmark::State& state) {
  const std::vector<std::uint8_t>& bmp = Bmp();
  const std::size_t offset = 54;
  for (auto _ : state) {
    std::vector<std::uint8_t> copy(bmp.size() - offset);
    std::memcpy(copy.data(), bmp.data() + offset, copy.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSide * kSide * 4);
}

BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPixelBytes)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration so the ratios come from this one run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        perIteration_[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                                     run.GetAdjustedCPUTime()};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Real and CPU time of one iteration, in milliseconds.
  std::pair<double, double> Time(const std::string& name) const {
    const auto found = perIteration_.find(name);
    return found == perIteration_.end() ? std::pair{0.0, 0.0} : found->second;
  }

 private:
  std::map<std::string, std::pair<double, double>> perIteration_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::printf("BMP %zu bytes, JPEG %zu bytes (quality 90, 4:2:0), %d x %d pixels\n", Bmp().size(),
              Jpeg().size(), kSide, kSide);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto [copyReal, copyCpu] = reporter.Time("BM_CopyPixelBytes");
  if (copyReal > 0 && copyCpu > 0) {
    for (const char* name : {"BM_DecodeBmp24", "BM_DecodeJpeg"}) {
      const auto [real, cpu] = reporter.Time(name);
      std::printf("ratio %s / plain copy: %.2f real, %.2f CPU\n", name, real / copyReal,
                  cpu / copyCpu);
    }
  }
  benchmark::Shutdown();
  return 0;
}
