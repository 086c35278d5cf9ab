// Drawing text objects: a typical line against the absurd cases that must stay cheap.
#include <benchmark/benchmark.h>

#include <climits>

#include "Canvas.h"
#include "TextRenderer.h"

namespace {

azuz::DrawObject Text(const std::string& text, int height, int left, int top, int escapement) {
  azuz::DrawObject object;
  object.kind = static_cast<std::int32_t>(azuz::ObjectKind::Text);
  object.text = text;
  object.rotation = 0;
  object.font.height = height;
  object.font.escapement = escapement;
  object.font.underline = 1;
  object.left = left;
  object.top = top;
  return object;
}

void Draw(benchmark::State& state, const azuz::DrawObject& object) {
  azuz::Canvas canvas(576, 330);
  azuz::DrawTextObject(canvas, object);  // fills the caches
  for (auto _ : state) {
    azuz::DrawTextObject(canvas, object);
    benchmark::DoNotOptimize(canvas.Data());
  }
}

const std::string kMegabyte(1 << 20, 'W');

void BM_TypicalLine(benchmark::State& state) {
  Draw(state, Text("TEXT Hgjy", -24, 20, 20, 0));
}
BENCHMARK(BM_TypicalLine)->Unit(benchmark::kMicrosecond);

void BM_TypicalTurnedLine(benchmark::State& state) {
  Draw(state, Text("TEXT Hgjy", -24, 200, 300, 900));
}
BENCHMARK(BM_TypicalTurnedLine)->Unit(benchmark::kMicrosecond);

void BM_MegabyteAcrossThePage(benchmark::State& state) {
  Draw(state, Text(kMegabyte, -24, 0, 100, 0));
}
BENCHMARK(BM_MegabyteAcrossThePage)->Unit(benchmark::kMicrosecond);

void BM_MegabyteRightOfThePage(benchmark::State& state) {
  Draw(state, Text(kMegabyte, -24, 100000, 100, 0));
}
BENCHMARK(BM_MegabyteRightOfThePage)->Unit(benchmark::kMicrosecond);

// The pen must walk the whole text to learn that it never reaches the page.
void BM_MegabyteFromFarLeft(benchmark::State& state) {
  Draw(state, Text(kMegabyte, -24, INT_MIN, 100, 0));
}
BENCHMARK(BM_MegabyteFromFarLeft)->Unit(benchmark::kMillisecond);

void BM_LargestEmCoveringThePage(benchmark::State& state) {
  Draw(state, Text("I", -65535, -8000, -20000, 10));
}
BENCHMARK(BM_LargestEmCoveringThePage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
