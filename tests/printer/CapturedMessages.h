#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "Connection.h"
#include "UserPrompts.h"

namespace azuz::test {

// Collects the message boxes the core shows (from any thread) while it lives, and the messages
// the connection left for its caller to show, as if the caller had shown them.
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
    TakeLeft();
    return texts;
  }
  std::vector<std::string> Details() {
    std::lock_guard lock(mutex);
    TakeLeft();
    return details;
  }

 private:
  void TakeLeft() {
    for (const ConnectionMessage& message : TakeConnectionMessages()) {
      texts.push_back(message.text);
      details.push_back(message.detail);
    }
  }

  UserPrompts saved;
  std::mutex mutex;
  std::vector<std::string> texts;
  std::vector<std::string> details;
};

}  // namespace azuz::test
