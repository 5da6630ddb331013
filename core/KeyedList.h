// The search, insertion, removal and heap sort shared by the three keyed lists.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// Entries are two parallel public arrays, keys and vals. Unsorted, the list is a sequence
// with repeats (the last equal key wins); sorted, a dictionary with ascending unique keys.
// KeyLess orders keys; the list never owns what a value points to.
template <class Key, class Val, class KeyLess>
class KeyedList {
 public:
  bool sorted = false;
  std::vector<Key> keys;
  std::vector<Val> vals;

  std::int32_t size() const { return static_cast<std::int32_t>(keys.size()); }

  // Index of key or -1; non-exact on a sorted list: the last key below it, or -1.
  template <class K>
  std::int32_t find(const K& key, bool exact) const {
    const std::int32_t n = size();
    if (n == 0) return -1;
    if (!sorted) {
      for (std::int32_t i = n - 1; i >= 0; --i) {
        if (equal(keys[static_cast<std::size_t>(i)], key)) return i;
      }
      return -1;
    }
    std::int32_t lo = 0;
    std::int32_t hi = n - 1;
    while (hi - lo > 1) {
      const std::int32_t mid = (lo + hi) / 2;
      const Key& k = keys[static_cast<std::size_t>(mid)];
      if (equal(k, key)) return mid;
      if (less_(k, key)) {
        lo = mid;
      } else {
        hi = mid;
      }
    }
    const Key& kLo = keys[static_cast<std::size_t>(lo)];
    const Key& kHi = keys[static_cast<std::size_t>(hi)];
    if (exact) {
      if (equal(kLo, key)) return lo;
      if (equal(kHi, key)) return hi;
      return -1;
    }
    if (less_(key, kLo)) return -1;
    if (less_(kHi, key)) return hi;
    return lo;
  }

  void add(const Key& key, Val x) {
    if (!sorted) {
      keys.push_back(key);
      vals.push_back(std::move(x));
      return;
    }
    const std::int32_t i = find(key, true);
    if (i >= 0) {
      vals[static_cast<std::size_t>(i)] = std::move(x);
      return;
    }
    insertAfter(find(key, false), key, std::move(x));
  }

  // The pair becomes entry position+1; no search and no check of the order.
  void insertAfter(std::int32_t position, const Key& key, Val x) {
    const auto at = static_cast<std::ptrdiff_t>(position + 1);
    keys.insert(keys.begin() + at, key);
    vals.insert(vals.begin() + at, std::move(x));
  }

  void deleteAt(std::int32_t i) {
    keys.erase(keys.begin() + i);
    vals.erase(vals.begin() + i);
  }

  template <class K>
  void remove(const K& key) {
    const std::int32_t i = find(key, true);
    if (i >= 0) deleteAt(i);
  }

  void Clear() {
    keys.clear();
    vals.clear();
  }

  // Ascending by key; sorted becomes true.
  void heapSort() {
    sorted = true;
    heapSortBy([this](std::size_t i, std::size_t j) { return less_(keys[i], keys[j]); });
  }

 protected:
  template <class A, class B>
  static bool less_(const A& a, const B& b) {
    return KeyLess()(a, b);
  }
  template <class A, class B>
  static bool equal(const A& a, const B& b) {
    return !less_(a, b) && !less_(b, a);
  }

  // The one heap sort of every list. less(i, j) compares the sort fields of entries i and
  // j. Not stable: equal fields come out in the order this exact procedure gives.
  template <class Less>
  void heapSortBy(Less less) {
    const std::size_t n = keys.size();
    auto exchange = [this](std::size_t i, std::size_t j) {
      std::swap(keys[i], keys[j]);
      std::swap(vals[i], vals[j]);
    };
    auto siftDown = [&](std::size_t c, std::size_t m) {
      while (2 * c + 1 < m) {
        std::size_t d = 2 * c + 1;
        if (d + 1 < m && less(d, d + 1)) ++d;
        if (less(c, d)) exchange(c, d);
        c = d;
      }
    };
    for (std::size_t i = n; i-- > 0;) {
      const std::size_t p = i == 0 ? 0 : (i - 1) / 2;
      if (less(p, i)) {
        exchange(p, i);
        siftDown(i, n);
      }
    }
    for (std::size_t i = n; i-- > 0;) {
      exchange(0, i);
      siftDown(0, i);
    }
  }
};
