// Memory for large arrays, backed by the system's large pages where it offers them.
//
// A model of millions of patterns fills hundreds of megabytes as it is built; touched a small
// page at a time, that memory costs a page fault per 4 KB, which on a virtual machine is much
// of the time of gathering the patterns. Arrays of kLargePageBytes or more are given whole
// large pages instead (aligned, and asked for as large pages); smaller ones come from the
// usual heap.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

inline constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;

// At least `bytes` bytes, aligned for any type; throws std::bad_alloc when there is no room.
void* allocateLargeArray(std::size_t bytes);
// Gives back what allocateLargeArray(bytes) returned.
void freeLargeArray(void* memory, std::size_t bytes) noexcept;

template <class T>
struct LargePageAllocator {
  using value_type = T;
  LargePageAllocator() = default;
  template <class U>
  LargePageAllocator(const LargePageAllocator<U>&) noexcept {
  }  // NOLINT: converting, as allocators do
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(allocateLargeArray(n * sizeof(T)));
  }
  void deallocate(T* memory, std::size_t n) noexcept { freeLargeArray(memory, n * sizeof(T)); }
  template <class U>
  bool operator==(const LargePageAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;
