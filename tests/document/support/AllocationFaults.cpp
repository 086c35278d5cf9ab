#include "AllocationFaults.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>

namespace azuz::test {

namespace {

std::atomic<long> countdown{0};
std::atomic<bool> failed{false};
std::atomic<AllocationFault> kind{AllocationFault::BadAlloc};
std::atomic<long> live{0};

void* Allocate(std::size_t size) {
  if (countdown.load() > 0 && countdown.fetch_sub(1) == 1) {
    failed = true;
    if (kind.load() == AllocationFault::LengthError) {
      throw std::length_error("length_error made by the test");
    }
    throw std::bad_alloc();
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  ++live;
  return block;
}

void Release(void* block) noexcept {
  if (block != nullptr) {
    --live;
    std::free(block);
  }
}

}  // namespace

void FailAllocation(long n, AllocationFault fault) {
  countdown = 0;
  kind = fault;
  if (n > 0) {
    failed = false;
  }
  countdown = n;
}

bool AllocationFailed() {
  return failed;
}

long LiveAllocations() {
  return live;
}

}  // namespace azuz::test

void* operator new(std::size_t size) {
  return azuz::test::Allocate(size);
}
void* operator new[](std::size_t size) {
  return azuz::test::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return azuz::test::Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return azuz::test::Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* block) noexcept {
  azuz::test::Release(block);
}
void operator delete[](void* block) noexcept {
  azuz::test::Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
  azuz::test::Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  azuz::test::Release(block);
}
