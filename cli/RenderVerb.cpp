// azuz render: the printer image of a design, as the download command sends it.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "DesignRenderer.h"
#include "PngWriter.h"
#include "PrintedDots.h"
#include "Verbs.h"
#include "WatermarkFile.h"

namespace azuz::cli {

namespace {

struct RenderOptions {
  std::string design;
  std::string image;
  std::string preview;
  std::string canvas;
  std::string model = "QPT-L710";
  std::string page;
  std::int32_t fade = 0;
  bool fadeGiven = false;
};

// "WxH" in dots; anything else is refused by the option's check.
bool ParsePage(const std::string& text, std::int64_t& width, std::int64_t& height) {
  long long w = 0;
  long long h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%lldx%lld%c", &w, &h, &tail) != 2) {
    return false;
  }
  width = w;
  height = h;
  return true;
}

// Writes the whole file or, failing that, leaves none behind; a device or pipe named as the
// output is left in place.
bool WriteBytes(const std::string& path, const WatermarkImage& bytes, std::string& why) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    why = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed) {
    return true;
  }
  why = "cannot write " + path + ": " + std::strerror(written ? errno : writeError);
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    std::remove(path.c_str());
  }
  return false;
}

// The one-bit image as black dots on white, at the page's own width: the picture the designer's
// View > Printed Dots shows.
bool WritePreview(const std::string& path, const WatermarkImage& image, int width, int height,
                  std::string& why) {
  Canvas dots(width, height);
  if (!DrawPrintedDots(dots, image)) {
    why = "the image does not hold a page of " + std::to_string(width) + " x " +
          std::to_string(height) + " dots";
    return false;
  }
  return WriteRgbPng(path, dots.Data(), width, height, static_cast<std::size_t>(width), &why);
}

int PrintedDots(const WatermarkImage& image) {
  int count = 0;
  for (std::size_t i = 9; i < image.size(); ++i) {
    count += __builtin_popcount(image[i]);
  }
  return count;
}

int Render(const RenderOptions& o) {
  CORVELIXImageToolDoc doc;
  std::string error;
  const LoadResult loaded = LoadWatermarkFile(o.design, doc, &error);
  if (loaded == LoadResult::CannotOpen) {
    std::cerr << "azuz: " << error << "\n";
    return 1;
  }
  if (loaded == LoadResult::FormatError) {
    std::cerr << "azuz: " << o.design << ": " << error << "; rendering the " << doc.objects.size()
              << " objects read before it\n";
  }
  std::int64_t width = o.model == "QPT-L710" ? 512 : 576;
  std::int64_t height = 330;
  if (!o.page.empty()) {
    ParsePage(o.page, width, height);
  }
  std::string why;
  if (!PageSizeAllowed(width, height, &why)) {
    std::cerr << "azuz: " << why << "\n";
    return 1;
  }
  doc.pageWidth = static_cast<std::int32_t>(width);
  doc.pageHeight = static_cast<std::int32_t>(height);
  if (o.fadeGiven) {
    doc.fadeLevel = o.fade;
  }
  Canvas canvas(0, 0);
  const std::optional<WatermarkImage> image =
      RenderWatermarkImage(doc, &why, o.canvas.empty() ? nullptr : &canvas);
  if (!image) {
    std::cerr << "azuz: " << why << "\n";
    return 1;
  }
  if ((!o.image.empty() && !WriteBytes(o.image, *image, why)) ||
      (!o.preview.empty() &&
       !WritePreview(o.preview, *image, canvas.Width() > 0 ? canvas.Width() : doc.pageWidth,
                     doc.pageHeight, why)) ||
      (!o.canvas.empty() && !WriteRgbPng(o.canvas, canvas.Data(), canvas.Width(), canvas.Height(),
                                         static_cast<std::size_t>(canvas.Width()), &why))) {
    std::cerr << "azuz: " << why << "\n";
    return 1;
  }
  std::cout << width << " x " << height << " dots, fade " << doc.fadeLevel << ", "
            << doc.objects.size() << " objects, " << image->size() << " bytes, "
            << PrintedDots(*image) << " dots printed\n";
  return loaded == LoadResult::Loaded ? 0 : 2;
}

}  // namespace

void AddRenderVerb(CLI::App& app, int& status) {
  auto* verb = app.add_subcommand(
      "render", "Render a design to the printer's watermark image (exit 2: malformed design)");
  auto o = std::make_shared<RenderOptions>();
  verb->add_option("design", o->design, "the .bwi file; its pictures resolve from here")
      ->required();
  verb->add_option("-o,--output", o->image, "write the image bytes (header and rows)");
  verb->add_option("--png", o->preview, "write the one-bit image as a black-on-white PNG");
  verb->add_option("--canvas", o->canvas, "write the colour page before packing as a PNG");
  auto* model = verb->add_option("--model", o->model, "printer model giving the page width")
                    ->check(CLI::IsMember({"QPT-L710", "QPT-L712"}));
  verb->add_option("--page", o->page, "page size in dots, WxH")
      ->check(CLI::Validator(
          [](std::string& text) {
            std::int64_t w = 0;
            std::int64_t h = 0;
            return ParsePage(text, w, h) ? std::string() : "expected WxH, e.g. 576x330";
          },
          "WxH"))
      ->excludes(model);
  verb->add_option("--fade", o->fade, "fade level instead of the design's")
      ->each([o](const std::string&) { o->fadeGiven = true; });
  verb->callback([o, &status] { status = Render(*o); });
}

}  // namespace azuz::cli
