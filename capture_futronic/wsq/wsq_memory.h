// wsq_memory.h: the encoder's buffer allocation. Every buffer the encoder needs goes through
// wsqAllocate with the status its failure returns, so a test can make one chosen allocation fail
// (ScopedWsqAllocator, per thread) and see that status and its text come out.
#pragma once

#include <cstddef>

namespace wsq {

// Returns `bytes` zeroed bytes, or nullptr when the memory is not available. `failStatus` names the
// buffer by the status its failure returns.
void* wsqAllocate(std::size_t bytes, int failStatus);
// The same without zeroing, for buffers that are written before they are read.
void* wsqAllocateUninitialised(std::size_t bytes, int failStatus);
void wsqFree(void* p);

using WsqAllocator = void* (*)(std::size_t bytes, int failStatus);

// Replaces the allocator of the calling thread while it lives; the allocator's result is freed with
// wsqFree (std::free), so it must come from std::calloc or std::malloc (or be nullptr).
class ScopedWsqAllocator {
 public:
  explicit ScopedWsqAllocator(WsqAllocator allocator);
  ~ScopedWsqAllocator();
  ScopedWsqAllocator(const ScopedWsqAllocator&) = delete;
  ScopedWsqAllocator& operator=(const ScopedWsqAllocator&) = delete;

 private:
  WsqAllocator previous_;
};

}  // namespace wsq
