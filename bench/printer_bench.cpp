// A download over loopback to the printer emulator against the protocol's own floor: the pauses
// the transfer must make (1 ms between chunks, 500 ms after each full 1024-byte TCP piece) and
// the finishing step one second after the last chunk.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "PortKind.h"
#include "PrinterCommands.h"
#include "PrinterEmulator.h"
#include "TransferSession.h"

namespace azuz {
namespace {

WatermarkImage BlankImage(int width, int height) {
  const int rowBytes = (width + 7) / 8;
  WatermarkImage image(9 + static_cast<std::size_t>(rowBytes) * height, 0);
  const int field = rowBytes * 8;
  const std::uint8_t header[] = {0x00,
                                 0x08,
                                 0x57,
                                 0x44,
                                 0x01,
                                 static_cast<std::uint8_t>(field),
                                 static_cast<std::uint8_t>(field >> 8),
                                 static_cast<std::uint8_t>(height),
                                 static_cast<std::uint8_t>(height >> 8)};
  std::copy(std::begin(header), std::end(header), image.begin());
  return image;
}

// The time no implementation can beat: pauses and the finishing step, in seconds.
double ProtocolFloor(std::uint32_t length) {
  const std::uint32_t chunk = TransferSession::ChunkSize(length);
  double seconds = TransferSession::kFinishDelay.count() / 1000.0;
  for (std::uint32_t sent = 0; sent < length; sent += chunk) {
    const std::uint32_t step = std::min(chunk, length - sent);
    seconds += 0.5 * ((step + 1023) / 1024 - 1);
    if (sent + step < length) {
      seconds += TransferSession::kChunkPause.count() / 1000.0;
    }
  }
  return seconds;
}

void SendToEmulator(benchmark::State& state, const PrinterCommand& command) {
  PrinterEmulator emulator;
  if (!emulator.Listen("127.0.0.1", 0)) {
    state.SkipWithError(emulator.LastError().c_str());
    return;
  }
  std::thread printer([&] { emulator.Run(); });
  TransferRequest request;
  request.data = command.bytes.data();
  request.length = static_cast<std::uint32_t>(command.bytes.size());
  request.caption = command.caption;
  request.portKind = kPortKindTcpIp;
  request.settings.portName = "127.0.0.1";
  request.settings.baudRate = emulator.Port();

  double total = 0;
  int runs = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    TransferSession session(request);
    if (session.Run() != TransferSession::Result::Ok) {
      state.SkipWithError("transfer failed");
      break;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    total += took.count();
    ++runs;
  }
  emulator.Stop();
  printer.join();
  const double floor = ProtocolFloor(request.length);
  state.counters["floor_ms"] = floor * 1000;
  state.counters["ratio"] = runs > 0 ? total / runs / floor : 0;
}

void BM_DownloadToEmulator(benchmark::State& state) {
  SendToEmulator(state, DownloadCommand(BlankImage(576, 330)));
}
BENCHMARK(BM_DownloadToEmulator)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TestPageToEmulator(benchmark::State& state) {
  SendToEmulator(state, TestPageCommand());
}
BENCHMARK(BM_TestPageToEmulator)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace azuz

BENCHMARK_MAIN();
