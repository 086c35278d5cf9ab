#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace azuz::test {

struct CommandResult {
  int status = -1;
  std::string out;  // standard output, and standard error when asked for
};

// Runs the built azuz tool with `arguments` (already shell-quoted) from `workDir`.
inline CommandResult RunAzuz(const std::string& arguments, const std::string& workDir = ".",
                             bool withErrors = false) {
  const std::string command = "cd '" + workDir + "' && '" AZUZ_BINARY_DIR "/cli/azuz' " +
                              arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  CommandResult result;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return result;
  }
  std::array<char, 4096> buffer{};
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    result.out.append(buffer.data(), n);
  }
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

}  // namespace azuz::test
