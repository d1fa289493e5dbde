// The ordered set of a timer's listeners: unique keys, ordered by the
// unsigned value of the listener pointer, kept in one sorted array so that an
// alert pass touches contiguous memory and never allocates. The first two
// keys live inside the set itself (most timers have one or two listeners),
// so an alert pass reads no memory of its own beyond the timer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "cadencehost/timer_interfaces.h"

namespace Velmora {

class ListenerSet {
 public:
  using Key = ITimerListener*;

  ListenerSet() = default;
  ListenerSet(const ListenerSet&) = delete;
  ListenerSet& operator=(const ListenerSet&) = delete;
  ~ListenerSet() { releaseStorage(); }

  bool contains(Key key) const {
    const uint32_t at = lowerBound(key);
    return at < size_ && keys_[at] == key;
  }
  int size() const { return static_cast<int>(size_); }
  bool empty() const { return size_ == 0; }

  // Makes room for one more key, so that a following insert cannot throw.
  void reserveOneMore() {
    if (size_ < capacity_) return;
    const uint32_t grown = capacity_ * 2;
    Key* fresh = new Key[grown];
    std::memcpy(fresh, keys_, size_ * sizeof(Key));
    releaseStorage();
    keys_ = fresh;
    capacity_ = grown;
    ++changes_;  // the array moved
  }
  // Inserts a key that is not yet present (call reserveOneMore first).
  void insertNew(Key key) {
    const uint32_t at = lowerBound(key);
    std::memmove(keys_ + at + 1, keys_ + at, (size_ - at) * sizeof(Key));
    keys_[at] = key;
    ++size_;
    ++changes_;
  }
  // Removes the key; false when it was not present.
  bool erase(Key key) {
    const uint32_t at = lowerBound(key);
    if (at == size_ || keys_[at] != key) return false;
    std::memmove(keys_ + at, keys_ + at + 1, (size_ - at - 1) * sizeof(Key));
    --size_;
    ++changes_;
    return true;
  }

  // Calls visit(key) for every key from the smallest up. The successor is
  // looked up only after visit returns, in the set as it is then: keys added
  // above the current one are visited in this pass, keys removed before their
  // turn are not, and removing the current key does not lose the place.
  // Nothing is copied or allocated. Every change to the array counts in
  // changes_, so a walk can tell whether a call changed the set.
  template <class Visit>
  void forEachLive(Visit&& visit) {
    // While a call leaves the set unchanged (the common case) the next key
    // is simply the next slot of the same array.
    uint32_t seen = changes_;
    const Key* keys = keys_;
    uint32_t size = size_;
    for (uint32_t at = 0; at < size;) {
      const Key current = keys[at];
      visit(current);
      if (changes_ == seen) [[likely]] {
        ++at;
        continue;
      }
      seen = changes_;
      keys = keys_;
      size = size_;
      at = successorAfterChange(at, current);
    }
  }

  // Hands the keys over (ascending) and leaves the set empty.
  std::vector<Key> takeAll() {
    std::vector<Key> out(keys_, keys_ + size_);
    releaseStorage();
    keys_ = inline_;
    capacity_ = kInline;
    size_ = 0;
    ++changes_;
    return out;
  }

 private:
  static constexpr uint32_t kInline = 2;

  static uintptr_t order(Key key) { return reinterpret_cast<uintptr_t>(key); }
  void releaseStorage() {
    if (keys_ != inline_) delete[] keys_;
  }
  // Where a walk goes on after the call for `current`, at slot `at`, changed
  // the set: the next slot if `current` is still there, else the first key
  // above it.
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  uint32_t successorAfterChange(uint32_t at, Key current) const {
    return at < size_ && keys_[at] == current ? at + 1 : upperBound(current);
  }
  uint32_t lowerBound(Key key) const {
    return static_cast<uint32_t>(
        std::lower_bound(keys_, keys_ + size_, key, [](Key a, Key b) { return order(a) < order(b); }) - keys_);
  }
  uint32_t upperBound(Key key) const {
    return static_cast<uint32_t>(
        std::upper_bound(keys_, keys_ + size_, key, [](Key a, Key b) { return order(a) < order(b); }) - keys_);
  }

  Key* keys_ = inline_;
  uint32_t size_ = 0;
  uint32_t capacity_ = kInline;
  uint32_t changes_ = 0;  // changes to the array so far (wraps)
  Key inline_[kInline] = {};
};

}  // namespace Velmora
