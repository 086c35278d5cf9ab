// Rendering a busy design to the printer image, against the floor of any rendering: clearing
// the page, one fade pass over all of it and packing it.
#include <benchmark/benchmark.h>

#include "DesignRenderer.h"
#include "FadePattern.h"

namespace {

using azuz::DrawObject;
using azuz::ObjectKind;

DrawObject* Add(azuz::CORVELIXImageToolDoc& doc, ObjectKind kind, int l, int t, int r, int b) {
  DrawObject* o = doc.FindOrCreateObject(-1);
  o->kind = static_cast<std::int32_t>(kind);
  o->left = l;
  o->top = t;
  o->right = r;
  o->bottom = b;
  doc.InsertAtHead(o);
  return o;
}

void Shape(azuz::CORVELIXImageToolDoc& doc, ObjectKind kind, int l, int t, int r, int b, int pen,
           azuz::Colour penColour, azuz::Colour fill) {
  DrawObject* o = Add(doc, kind, l, t, r, b);
  o->penWidth = pen;
  o->penColour = penColour;
  o->fillColour = fill;
}

void Text(azuz::CORVELIXImageToolDoc& doc, const char* text, int height, int rotation, int l,
          int t) {
  DrawObject* o = Add(doc, ObjectKind::Text, l, t, l, t);
  azuz::FontRecord font;
  font.height = height;
  font.escapement = rotation == 1 ? 900 : rotation == 2 ? 2700 : rotation == 3 ? 1800 : 0;
  o->SetText(text, font, 0, rotation, 10);
}

azuz::CORVELIXImageToolDoc BusyDesign() {
  azuz::CORVELIXImageToolDoc doc;
  doc.pageWidth = 576;
  doc.pageHeight = 330;
  doc.fadeLevel = 50;
  DrawObject* picture = Add(doc, ObjectKind::Bitmap, 20, 20, 320, 140);
  auto pixels = std::make_shared<azuz::Picture>();
  pixels->width = 300;
  pixels->height = 120;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 300; ++x) {
      pixels->pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x % 256) << 16 |
                               static_cast<std::uint32_t>(y * 2) << 8 |
                               static_cast<std::uint32_t>((x + y) % 256));
    }
  }
  picture->picture = std::move(pixels);
  Shape(doc, ObjectKind::Rectangle, 10, 10, 566, 320, 4, 0x000000, azuz::kNoColour);
  Shape(doc, ObjectKind::Rectangle, 340, 30, 460, 110, 6, 0x0000FF, 0xE0FFFF);
  Shape(doc, ObjectKind::Rectangle, 200, 200, 300, 260, 3, 0x000000, 0x808080);
  Shape(doc, ObjectKind::Rectangle, 470, 150, 550, 300, 8, 0xFF0000, azuz::kNoColour);
  Shape(doc, ObjectKind::Ellipse, 340, 130, 460, 230, 5, 0x000000, 0x00FF00);
  Shape(doc, ObjectKind::Ellipse, 30, 180, 180, 310, 10, 0x404040, azuz::kNoColour);
  Shape(doc, ObjectKind::Ellipse, 480, 40, 540, 120, 3, 0x000000, 0x0000FF);
  Shape(doc, ObjectKind::Ellipse, 250, 150, 330, 190, 2, 0x000080, 0xFFFFFF);
  Shape(doc, ObjectKind::Line, 20, 160, 560, 170, 3, 0x000000, azuz::kNoColour);
  Shape(doc, ObjectKind::Line, 560, 20, 330, 310, 7, 0x0000FF, azuz::kNoColour);
  Shape(doc, ObjectKind::Line, 40, 300, 300, 240, 12, 0x000000, azuz::kNoColour);
  Shape(doc, ObjectKind::Line, 300, 60, 300, 300, 2, 0x000000, azuz::kNoColour);
  Text(doc, "Thank you for shopping", -24, 0, 30, 140);
  Text(doc, "RECEIPT", -40, 1, 520, 30);
  Text(doc, "see you soon", -14, 3, 440, 320);
  return doc;
}

void BM_RenderBusyDesign(benchmark::State& state) {
  const azuz::CORVELIXImageToolDoc doc = BusyDesign();
  for (auto _ : state) {
    auto image = azuz::RenderWatermarkImage(doc);
    benchmark::DoNotOptimize(image->data());
  }
}
BENCHMARK(BM_RenderBusyDesign)->Unit(benchmark::kMicrosecond);

// The floor: a fresh page, one fade pass over all of it, packed.
void BM_ClearFadePack(benchmark::State& state) {
  for (auto _ : state) {
    azuz::Canvas canvas(576, 330, azuz::kWhitePixel);
    azuz::ApplyFadePattern(canvas, 0, 0, 576, 330, 50);
    auto image = azuz::PackCanvas(canvas);
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_ClearFadePack)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
