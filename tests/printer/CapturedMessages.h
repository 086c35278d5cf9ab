#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "UserPrompts.h"

namespace azuz::test {

// Collects the message boxes the core shows (from any thread) while it lives.
class CapturedMessages {
 public:
  CapturedMessages() : saved(Prompts()) {
    Prompts().ShowMessage = [this](const std::string& text, const std::string& detail) {
      std::lock_guard lock(mutex);
      texts.push_back(text);
      details.push_back(detail);
    };
  }
  ~CapturedMessages() { Prompts() = saved; }

  std::vector<std::string> Texts() {
    std::lock_guard lock(mutex);
    return texts;
  }
  std::vector<std::string> Details() {
    std::lock_guard lock(mutex);
    return details;
  }

 private:
  UserPrompts saved;
  std::mutex mutex;
  std::vector<std::string> texts;
  std::vector<std::string> details;
};

}  // namespace azuz::test
