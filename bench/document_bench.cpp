// Reading and writing a large design through the .bwi format, in memory.
#include <benchmark/benchmark.h>

#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"
#include "MixedDesign.h"

namespace {

azuz::CORVELIXImageToolDoc MakeDesign(int count) {
  azuz::CORVELIXImageToolDoc doc;
  azuz::bench::FillMixedDesign(doc, count);
  return doc;
}

std::string Serialized(azuz::CORVELIXImageToolDoc& doc) {
  std::stringbuf buffer;
  azuz::ArchiveWriter writer(buffer);
  doc.Serialize(writer, nullptr);
  return buffer.str();
}

void BM_WriteDesign(benchmark::State& state) {
  auto doc = MakeDesign(static_cast<int>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = Serialized(doc).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteDesign)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReadDesign(benchmark::State& state) {
  auto source = MakeDesign(static_cast<int>(state.range(0)));
  const std::string bytes = Serialized(source);
  for (auto _ : state) {
    std::stringbuf buffer(bytes);
    azuz::ArchiveReader reader(buffer);
    azuz::CORVELIXImageToolDoc doc;
    benchmark::DoNotOptimize(doc.Serialize(reader, nullptr));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadDesign)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor: copying the same bytes once.
void BM_CopyBytes(benchmark::State& state) {
  auto source = MakeDesign(static_cast<int>(state.range(0)));
  const std::string bytes = Serialized(source);
  for (auto _ : state) {
    std::string copy = bytes;
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CopyBytes)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
