// wsq_memory.cpp: calloc-based allocation with a per-thread replacement for tests.
#include "wsq_memory.h"

#include <cstdlib>

namespace wsq {
namespace {

thread_local WsqAllocator currentAllocator = nullptr;

}  // namespace

void* wsqAllocate(std::size_t bytes, int failStatus) {
  if (currentAllocator != nullptr) return currentAllocator(bytes, failStatus);
  return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void* wsqAllocateUninitialised(std::size_t bytes, int failStatus) {
  if (currentAllocator != nullptr) return currentAllocator(bytes, failStatus);
  return std::malloc(bytes == 0 ? 1 : bytes);
}

void wsqFree(void* p) { std::free(p); }

ScopedWsqAllocator::ScopedWsqAllocator(WsqAllocator allocator) : previous_(currentAllocator) {
  currentAllocator = allocator;
}

ScopedWsqAllocator::~ScopedWsqAllocator() { currentAllocator = previous_; }

}  // namespace wsq
