// Driver mode on the private cupsd: the cost of one raw job, and of a whole download that the
// transfer cuts into about a hundred jobs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <iostream>
#include <vector>

#include "../tests/printer/CupsdFixture.h"
#include "Spooler.h"
#include "TransferSession.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One daemon for the whole run, stopped (and its directory removed) at exit.
azuz::test::PrivateCupsd* Daemon() {
  static azuz::test::PrivateCupsd daemon;
  static const bool ready = [] {
    if (!azuz::test::PrivateCupsd::Installed()) {
      std::cerr << "spooler_bench: " << azuz::test::PrivateCupsd::SkipReason() << "\n";
      return false;
    }
    if (!daemon.Start() || !daemon.AddQueue("slip", "ORVELIX QPT-L710")) {
      std::cerr << "spooler_bench: no private cupsd: " << daemon.Error() << "\n";
      return false;
    }
    return true;
  }();
  return ready ? &daemon : nullptr;
}

std::vector<std::uint8_t> Block(std::size_t size) {
  std::vector<std::uint8_t> block(size);
  for (std::size_t i = 0; i < size; ++i) {
    block[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
  }
  return block;
}

// Lets cupsd print what is queued, so one measurement doesn't pay for the last one's jobs.
bool Drain(azuz::test::PrivateCupsd& daemon, std::size_t jobs) {
  const bool done = daemon.WaitForJobs(jobs, 120s);
  daemon.ClearJobs();
  return done;
}

// Submitting one job: what each chunk of a driver-mode transfer costs the transfer worker.
void BM_SubmitJob(benchmark::State& state) {
  auto* daemon = Daemon();
  if (daemon == nullptr) {
    state.SkipWithError("no private cupsd");
    return;
  }
  const auto block = Block(static_cast<std::size_t>(state.range(0)));
  std::size_t jobs = 0;
  for (auto _ : state) {
    if (!azuz::SpoolerWrite("slip", block.data(), block.size())) {
      state.SkipWithError("SpoolerWrite failed");
      break;
    }
    ++jobs;
  }
  Drain(*daemon, jobs);  // the timed loop has ended
  state.SetBytesProcessed(static_cast<std::int64_t>(jobs * block.size()));
}
// Fixed counts: every submitted job is also printed (drained) before the next measurement.
BENCHMARK(BM_SubmitJob)
    ->Arg(121)
    ->Arg(237)
    ->Arg(23773)
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

// One job from submission until the backend has written all of it.
void BM_JobPrinted(benchmark::State& state) {
  auto* daemon = Daemon();
  if (daemon == nullptr) {
    state.SkipWithError("no private cupsd");
    return;
  }
  const auto block = Block(237);
  for (auto _ : state) {
    if (!azuz::SpoolerWrite("slip", block.data(), block.size()) || !Drain(*daemon, 1)) {
      state.SkipWithError("job not printed");
      break;
    }
  }
}
BENCHMARK(BM_JobPrinted)->Iterations(30)->Unit(benchmark::kMillisecond);

// A 23773-byte download in driver mode: the transfer worker's 101 jobs (time until the worker
// ends, i.e. all jobs submitted), and the counter "printed_ms" until the last job has printed.
void BM_DriverModeDownload(benchmark::State& state) {
  auto* daemon = Daemon();
  if (daemon == nullptr) {
    state.SkipWithError("no private cupsd");
    return;
  }
  const auto block = Block(23773);
  double printedMs = 0;
  for (auto _ : state) {
    azuz::TransferRequest request;
    request.data = block.data();
    request.length = static_cast<std::uint32_t>(block.size());
    request.useDriver = true;
    request.settings.portName = "slip";
    const auto start = Clock::now();
    azuz::TransferSession session(request);
    if (!session.Start() || !session.WaitWorker(120s) || !session.Completed()) {
      state.SkipWithError("download failed");
      break;
    }
    const auto submitted = Clock::now();
    const bool printed = daemon->WaitForJobs(101, 120s);
    printedMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    state.SetIterationTime(std::chrono::duration<double>(submitted - start).count());
    session.Cancel();  // the block went out: ends with OK without the one-second finishing wait
    daemon->ClearJobs();
    if (!printed) {
      state.SkipWithError("jobs not printed");
      break;
    }
  }
  state.counters["printed_ms"] = benchmark::Counter(printedMs, benchmark::Counter::kAvgIterations);
  state.counters["jobs"] = 101;
}
BENCHMARK(BM_DriverModeDownload)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
