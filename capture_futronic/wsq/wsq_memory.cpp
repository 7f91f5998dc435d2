// wsq_memory.cpp: malloc-based allocation with a per-thread replacement for tests; large blocks are laid
// out for huge pages where the system offers them, and kept for the thread's next image.
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
// A working image is touched once, front to back, soon after it is allocated. In 4 KiB pages each first
// touch is a page fault, which on a virtual machine costs several microseconds: hundreds to thousands of
// them per image, more than the arithmetic. A block of at least kLargeBlock bytes is therefore aligned to
// 2 MiB, rounded up to whole huge pages and marked for transparent huge pages (where the system enables
// them only on request), so its first touch faults once per 2 MiB. Where huge pages are off the advice
// is ignored and the block behaves as any other.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLargeBlock = std::size_t{512} << 10;

// The large blocks of one thread: those handed out (so that wsqFree knows them) and up to kKept freed
// ones kept for the next image, which then starts on pages already there. A block freed by another
// thread, or handed out while every slot is taken, is a plain aligned block that free() releases.
class LargeBlocks {
 public:
  ~LargeBlocks() {
    for (Block& b : kept_) std::free(b.p);
  }

  void* take(std::size_t bytes) {
    const std::size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    if (rounded < bytes) return nullptr;
    // The smallest kept block that holds `bytes`.
    Block* best = nullptr;
    for (Block& b : kept_) {
      if (b.p != nullptr && b.size >= rounded && (best == nullptr || b.size < best->size)) best = &b;
    }
    Block block{nullptr, rounded};
    if (best != nullptr) {
      block = *best;
      *best = Block{};
    } else {
      if (posix_memalign(&block.p, kHugePage, rounded) != 0) return nullptr;
      madvise(block.p, rounded, MADV_HUGEPAGE);
    }
    for (Block& b : out_) {
      if (b.p == nullptr) {
        b = block;
        break;
      }
    }
    return block.p;
  }

  // Keeps `p` when this thread handed it out; false for any other block.
  bool give(void* p) {
    for (Block& b : out_) {
      if (b.p != p) continue;
      const Block block = b;
      b = Block{};
      // Into a free slot, or in place of the smallest kept block when it is smaller.
      Block* slot = &kept_[0];
      for (Block& k : kept_) {
        if (k.p == nullptr || k.size < slot->size) slot = &k;
        if (k.p == nullptr) break;
      }
      if (slot->p != nullptr && slot->size >= block.size) {
        std::free(block.p);
      } else {
        std::free(slot->p);
        *slot = block;
      }
      return true;
    }
    return false;
  }

 private:
  struct Block {
    void* p = nullptr;
    std::size_t size = 0;
  };
  static constexpr int kKept = 2;  // the decoder's two images
  Block out_[4];
  Block kept_[kKept];
};

thread_local LargeBlocks largeBlocks;
#endif

// A large block (nullptr when it cannot be had), or nullptr with `large` false for a size malloc serves.
void* takeLarge(std::size_t bytes, bool& large) {
#if defined(__linux__)
  large = bytes >= kLargeBlock;
  return large ? largeBlocks.take(bytes) : nullptr;
#else
  (void)bytes;
  large = false;
  return nullptr;
#endif
}

}  // namespace

void* wsqAllocate(std::size_t bytes, int failStatus) {
  if (currentAllocator != nullptr) return currentAllocator(bytes, failStatus);
  bool large;
  void* p = takeLarge(bytes, large);
  if (!large) return std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (p != nullptr) std::memset(p, 0, bytes);
  return p;
}

void* wsqAllocateUninitialised(std::size_t bytes, int failStatus) {
  if (currentAllocator != nullptr) return currentAllocator(bytes, failStatus);
  bool large;
  void* p = takeLarge(bytes, large);
  return large ? p : std::malloc(bytes == 0 ? 1 : bytes);
}

void wsqFree(void* p) {
  if (p == nullptr) return;
#if defined(__linux__)
  if (largeBlocks.give(p)) return;
#endif
  std::free(p);
}

ScopedWsqAllocator::ScopedWsqAllocator(WsqAllocator allocator) : previous_(currentAllocator) {
  currentAllocator = allocator;
}

ScopedWsqAllocator::~ScopedWsqAllocator() { currentAllocator = previous_; }

}  // namespace wsq
