// wsq_memory.cpp: malloc-based allocation with a per-thread replacement for tests; large blocks are laid
// out for huge pages where the system offers them.
#include "wsq_memory.h"

#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace wsq {
namespace {

thread_local WsqAllocator currentAllocator = nullptr;

#if defined(__linux__)
// A working image of several megabytes is touched once, front to back, soon after it is allocated. In
// 4 KiB pages each first touch is a page fault, which on a virtual machine costs several microseconds:
// thousands of them per image, more than the arithmetic. A block of at least a huge page is therefore
// aligned to 2 MiB, rounded up to whole huge pages and marked for transparent huge pages (where the
// system enables them only on request), so the first touch faults once per 2 MiB. Where huge pages are
// off the advice is ignored and the block behaves as any other.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

void* allocateLarge(std::size_t bytes) {
  const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
  if (rounded < bytes) return nullptr;
  void* p = nullptr;
  if (posix_memalign(&p, kHugePage, rounded) != 0) return nullptr;
  madvise(p, rounded, MADV_HUGEPAGE);
  return p;
}
#endif

void* allocate(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
#if defined(__linux__)
  if (bytes >= kHugePage) return allocateLarge(bytes);
#endif
  return std::malloc(bytes);
}

}  // namespace

void* wsqAllocate(std::size_t bytes, int failStatus) {
  if (currentAllocator != nullptr) return currentAllocator(bytes, failStatus);
#if defined(__linux__)
  if (bytes >= kHugePage) {
    void* p = allocateLarge(bytes);
    if (p != nullptr) std::memset(p, 0, bytes);
    return p;
  }
#endif
  return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void* wsqAllocateUninitialised(std::size_t bytes, int failStatus) {
  if (currentAllocator != nullptr) return currentAllocator(bytes, failStatus);
  return allocate(bytes);
}

void wsqFree(void* p) { std::free(p); }

ScopedWsqAllocator::ScopedWsqAllocator(WsqAllocator allocator) : previous_(currentAllocator) {
  currentAllocator = allocator;
}

ScopedWsqAllocator::~ScopedWsqAllocator() { currentAllocator = previous_; }

}  // namespace wsq
