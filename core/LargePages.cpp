#include "LargePages.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cstdint>

#if defined(__linux__)

namespace {

std::size_t roundedUp(std::size_t bytes) {
  return (bytes + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
}

}  // namespace

void* allocateLargeArray(std::size_t bytes) {
  if (bytes < kLargePageBytes) return ::operator new(bytes);
  const std::size_t size = roundedUp(bytes);
  if (size < bytes || size + kLargePageBytes < size) throw std::bad_alloc();
  // Mapped one large page longer than needed, then cut to a large page's alignment: the
  // system maps large pages only at their own alignment.
  void* mapped = mmap(nullptr, size + kLargePageBytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kLargePageBytes - 1) / kLargePageBytes * kLargePageBytes;
  if (aligned > start) munmap(mapped, aligned - start);
  const std::size_t tail = kLargePageBytes - (aligned - start);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  // Advice only: where large pages are off, the memory is as good in small ones.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void freeLargeArray(void* memory, std::size_t bytes) noexcept {
  if (memory == nullptr) return;
  if (bytes < kLargePageBytes) {
    ::operator delete(memory);
    return;
  }
  munmap(memory, roundedUp(bytes));
}

#else

void* allocateLargeArray(std::size_t bytes) {
  return ::operator new(bytes);
}

void freeLargeArray(void* memory, std::size_t) noexcept {
  ::operator delete(memory);
}

#endif
