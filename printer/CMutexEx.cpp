#include "CMutexEx.h"

#include <chrono>

namespace azuz {

bool CMutexEx::Lock(int timeoutMs) {
  if (timeoutMs < 0) {
    mutex.lock();
    return true;
  }
  return mutex.try_lock_for(std::chrono::milliseconds(timeoutMs));
}

}  // namespace azuz
