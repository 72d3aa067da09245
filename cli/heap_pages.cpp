#include "cli/heap_pages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace orvane {

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

}  // namespace

void UseLargeHeapPages() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && defined(M_TOP_PAD)
  if (kOwnAllocator) return;
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  // The heap grows by this much beyond each request: a loaded index and a
  // search fit in the first step, which is the one advised below.
  constexpr std::size_t kStep = std::size_t{96} << 20;
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_TOP_PAD, static_cast<int>(kStep));
  // A block larger than what the heap holds makes it grow now.
  void* block = std::malloc(kStep / 2);
  if (block == nullptr) return;
  auto begin = reinterpret_cast<std::uintptr_t>(block);
  auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // Only a block that came from the heap's new top (the program break lies
  // just behind it) marks the range to advise.
  if (end > begin && end - begin <= 2 * kStep) {
    std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    if (end > first) {
      madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
  }
  std::free(block);
#endif
}

}  // namespace orvane
