// Undo and redo of one step, recording a step, and the memory a step holds. Counters named vs_*
// are the measured time over its target (below 1 meets it).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>

#include "CORVELIXImageToolDoc.h"
#include "EditGeometry.h"
#include "EditingOperations.h"
#include "MixedDesign.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A drag of the front object, as the view records it.
void Drag(azuz::CORVELIXImageToolDoc& doc) {
  doc.history.BeginStep(doc, "Move");
  azuz::MoveRect(*doc.objects[0], 3, 1);
  doc.history.EndStep(doc);
}

void BM_UndoStep(benchmark::State& state) {
  azuz::CORVELIXImageToolDoc doc;
  azuz::bench::FillMixedDesign(doc, static_cast<int>(state.range(0)));
  Drag(doc);
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(azuz::UndoStep(doc));
    totalMs += MsSince(start);
    state.PauseTiming();
    azuz::RedoStep(doc);
    state.ResumeTiming();
  }
  state.counters["vs_5ms"] = totalMs / static_cast<double>(state.iterations()) / 5.0;
}
BENCHMARK(BM_UndoStep)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RedoStep(benchmark::State& state) {
  azuz::CORVELIXImageToolDoc doc;
  azuz::bench::FillMixedDesign(doc, static_cast<int>(state.range(0)));
  Drag(doc);
  double totalMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    azuz::UndoStep(doc);
    state.ResumeTiming();
    const auto start = Clock::now();
    benchmark::DoNotOptimize(azuz::RedoStep(doc));
    totalMs += MsSince(start);
  }
  state.counters["vs_5ms"] = totalMs / static_cast<double>(state.iterations()) / 5.0;
}
BENCHMARK(BM_RedoStep)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

// What a press-to-release gesture adds: the copy when it opens and the comparison when it ends.
void BM_RecordStep(benchmark::State& state) {
  azuz::CORVELIXImageToolDoc doc;
  azuz::bench::FillMixedDesign(doc, static_cast<int>(state.range(0)));
  doc.history.SetLimits(1, azuz::DesignHistory::kMaxBytes);
  for (auto _ : state) {
    Drag(doc);
  }
}
BENCHMARK(BM_RecordStep)->Arg(200)->Arg(10000)->Unit(benchmark::kMillisecond);

// The heap one recorded step holds, measured by the allocator, next to the estimate the
// history's bound counts.
void BM_StepMemory(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const int kSteps = count >= 10000 ? 10 : 100;  // within the memory bound
  double measured = 0;
  double estimated = 0;
  for (auto _ : state) {
    azuz::CORVELIXImageToolDoc doc;
    azuz::bench::FillMixedDesign(doc, count);
    Drag(doc);  // the history's own tables exist before counting
    malloc_trim(0);
    const std::size_t before = mallinfo2().uordblks;
    const std::size_t estimateBefore = doc.history.BytesHeld();
    for (int i = 0; i < kSteps; ++i) {
      Drag(doc);
    }
    measured = static_cast<double>(mallinfo2().uordblks - before) / kSteps;
    estimated = static_cast<double>(doc.history.BytesHeld() - estimateBefore) / kSteps;
  }
  state.counters["heap_bytes_per_step"] = measured;
  state.counters["estimated_bytes_per_step"] = estimated;
}
BENCHMARK(BM_StepMemory)->Arg(200)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
