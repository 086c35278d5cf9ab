// The Ansible roll-out of examples/ansible to printer emulators on loopback: three stores one
// after the other (forks 1) against all three at once (forks 3), beside one store alone and the
// tool's own send and switch without Ansible. Run from a build tree; skipped without
// ansible-playbook.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "CORVELIXImageToolDoc.h"
#include "PrinterEmulator.h"
#include "WatermarkFile.h"

namespace azuz {
namespace {

const std::string kAzuz = AZUZ_BINARY_DIR "/cli/azuz";

// Printers on loopback, a design, and an inventory with one host per printer.
class Stores {
 public:
  explicit Stores(int count) {
    std::string pattern = (std::filesystem::temp_directory_path() / "azuz-rollout-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    CORVELIXImageToolDoc doc;
    DrawObject* frame = doc.FindOrCreateObject(-1);
    frame->kind = 3;
    frame->left = 8;
    frame->top = 8;
    frame->right = 500;
    frame->bottom = 320;
    doc.AppendAtTail(frame);
    ok = SaveWatermarkFile((dir / "design.bwi").string(), doc);
    std::ofstream inventory(dir / "stores.ini");
    inventory << "[stores]\n";
    for (int i = 0; i < count; ++i) {
      PrinterEmulator* emulator = emulators.emplace_back(std::make_unique<PrinterEmulator>()).get();
      emulator->outDir = dir.string();
      ok = ok && emulator->Listen("127.0.0.1", 0);
      threads.emplace_back([emulator] { emulator->Run(); });
      inventory << "store" << i << " azuz_watermark_port=tcp://127.0.0.1:" << emulator->Port()
                << "\n";
    }
    inventory << "[stores:vars]\nansible_connection=local\n"
              << "ansible_python_interpreter=/usr/bin/python3\n";
  }
  ~Stores() {
    for (auto& emulator : emulators) {
      emulator->Stop();
    }
    for (auto& thread : threads) {
      thread.join();
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  Stores(const Stores&) = delete;
  Stores& operator=(const Stores&) = delete;

  // One roll-out that sends to every store (their state is forgotten first).
  bool RollOut(int forks) const {
    std::error_code ignored;
    std::filesystem::remove_all(dir / "state", ignored);
    const std::string home = (dir / "home").string();
    const std::string command =
        "cd '" + dir.string() + "' && env HOME='" + home + "' ANSIBLE_LOCAL_TEMP='" + home +
        "/l' ANSIBLE_REMOTE_TEMP='" + home + "/r' ANSIBLE_PIPELINING=1 ansible-playbook -f " +
        std::to_string(forks) +
        " -i stores.ini '" AZUZ_SOURCE_DIR
        "/examples/ansible/rollout.yml' -e azuz_watermark_install_package="
        "false -e azuz_watermark_azuz='" +
        kAzuz + "' -e azuz_watermark_design='" + (dir / "design.bwi").string() +
        "' -e azuz_watermark_state_dir='" + (dir / "state").string() +
        "' -e rollout_serial=100% >'" + (dir / "rollout.log").string() + "' 2>&1";
    return std::system(command.c_str()) == 0;
  }
  // The tool's own work for one store: the send and the switch.
  bool SendAndSwitch() const {
    const std::string port = " --port tcp://127.0.0.1:" + std::to_string(emulators[0]->Port());
    const std::string command = "cd '" + dir.string() + "' && '" + kAzuz + "' send design.bwi" +
                                port + " 2>/dev/null && '" + kAzuz + "' on" + port + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
  }

  std::filesystem::path Log() const { return dir / "rollout.log"; }

  bool ok = false;

 private:
  std::filesystem::path dir;
  std::vector<std::unique_ptr<PrinterEmulator>> emulators;
  std::vector<std::thread> threads;
};

bool HaveAnsible() {
  return std::system("command -v ansible-playbook >/dev/null 2>&1") == 0;
}

void BM_SendAndSwitchWithoutAnsible(benchmark::State& state) {
  const Stores stores(1);
  for (auto _ : state) {
    if (!stores.ok || !stores.SendAndSwitch()) {
      state.SkipWithError("the send failed");
      break;
    }
  }
}
BENCHMARK(BM_SendAndSwitchWithoutAnsible)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

void BM_Rollout(benchmark::State& state) {
  if (!HaveAnsible()) {
    state.SkipWithError("ansible-playbook is not installed");
    return;
  }
  const Stores stores(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!stores.ok || !stores.RollOut(static_cast<int>(state.range(1)))) {
      std::ifstream log(stores.Log());
      const std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
      std::fprintf(stderr, "%s\n", text.c_str());
      state.SkipWithError("the roll-out failed");
      break;
    }
  }
}
BENCHMARK(BM_Rollout)
    ->ArgNames({"stores", "forks"})
    ->Args({1, 1})
    ->Args({3, 1})
    ->Args({3, 3})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
}  // namespace azuz

BENCHMARK_MAIN();
