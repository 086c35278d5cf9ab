#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace azuz::test {

// `azuz emulate` in the background on a free loopback port, for a number of connections.
class Emulator {
 public:
  Emulator(const std::string& outDir, int connections) {
    pipe =
        popen((std::string("'" AZUZ_BINARY_DIR "/cli/azuz' emulate --listen 127.0.0.1:0 --out '") +
               outDir + "' --connections " + std::to_string(connections) + " 2>&1")
                  .c_str(),
              "r");
    char line[512] = {};
    if (pipe && std::fgets(line, sizeof line, pipe)) {
      log = line;
      const std::size_t at = log.find("127.0.0.1:");
      port = at == std::string::npos ? 0 : std::atoi(log.c_str() + at + 10);
    }
  }
  // Waits for the emulator to end and returns everything it logged.
  std::string Finish() {
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while (pipe && (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
      log.append(buffer.data(), n);
    }
    if (pipe) {
      pclose(pipe);
      pipe = nullptr;
    }
    return log;
  }
  ~Emulator() { Finish(); }

  int port = 0;

 private:
  std::FILE* pipe = nullptr;
  std::string log;
};

}  // namespace azuz::test
