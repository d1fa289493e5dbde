// The ordered set of a timer's listeners: unique keys, ordered by the
// unsigned value of the listener pointer, kept in one sorted array so that an
// alert pass touches contiguous memory and never allocates.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cadencehost/timer_interfaces.h"

namespace Velmora {

class ListenerSet {
 public:
  using Key = ITimerListener*;

  bool contains(Key key) const {
    const size_t at = lowerBound(key);
    return at < keys_.size() && keys_[at] == key;
  }
  int size() const { return static_cast<int>(keys_.size()); }
  bool empty() const { return keys_.empty(); }

  // Makes room for one more key, so that a following insert cannot throw.
  void reserveOneMore() {
    if (keys_.size() == keys_.capacity()) {
      keys_.reserve(keys_.empty() ? 4 : keys_.size() * 2);
      ++changes_;  // the array moved
    }
  }
  // Inserts a key that is not yet present (call reserveOneMore first).
  void insertNew(Key key) {
    keys_.insert(keys_.begin() + static_cast<ptrdiff_t>(lowerBound(key)), key);
    ++changes_;
  }
  // Removes the key; false when it was not present.
  bool erase(Key key) {
    const size_t at = lowerBound(key);
    if (at == keys_.size() || keys_[at] != key) return false;
    keys_.erase(keys_.begin() + static_cast<ptrdiff_t>(at));
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
    const Key* keys = keys_.data();
    size_t size = keys_.size();
    for (size_t at = 0; at < size;) {
      const Key current = keys[at];
      visit(current);
      if (changes_ == seen) [[likely]] {
        ++at;
        continue;
      }
      seen = changes_;
      keys = keys_.data();
      size = keys_.size();
      at = successorAfterChange(at, current);
    }
  }

  // Hands the keys over (ascending) and leaves the set empty.
  std::vector<Key> takeAll() {
    std::vector<Key> out;
    out.swap(keys_);
    ++changes_;
    return out;
  }

 private:
  static uintptr_t order(Key key) { return reinterpret_cast<uintptr_t>(key); }
  // Where a walk goes on after the call for `current`, at slot `at`, changed
  // the set: the next slot if `current` is still there, else the first key
  // above it.
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  size_t successorAfterChange(size_t at, Key current) const {
    return at < keys_.size() && keys_[at] == current ? at + 1 : upperBound(current);
  }
  size_t lowerBound(Key key) const {
    return static_cast<size_t>(
        std::lower_bound(keys_.begin(), keys_.end(), key,
                         [](Key a, Key b) { return order(a) < order(b); }) -
        keys_.begin());
  }
  size_t upperBound(Key key) const {
    return static_cast<size_t>(
        std::upper_bound(keys_.begin(), keys_.end(), key,
                         [](Key a, Key b) { return order(a) < order(b); }) -
        keys_.begin());
  }

  std::vector<Key> keys_;
  uint32_t changes_ = 0;  // changes to keys_ so far (wraps)
};

}  // namespace Velmora
