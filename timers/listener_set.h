// The ordered set of a timer's listeners: unique keys, ordered by the
// unsigned value of the listener pointer, kept in one sorted array so that an
// alert pass touches contiguous memory and never allocates.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "timers/timer_interfaces.h"

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
    if (keys_.size() == keys_.capacity()) keys_.reserve(keys_.empty() ? 4 : keys_.size() * 2);
  }
  // Inserts a key that is not yet present (call reserveOneMore first).
  void insertNew(Key key) { keys_.insert(keys_.begin() + static_cast<ptrdiff_t>(lowerBound(key)), key); }
  // Removes the key; false when it was not present.
  bool erase(Key key) {
    const size_t at = lowerBound(key);
    if (at == keys_.size() || keys_[at] != key) return false;
    keys_.erase(keys_.begin() + static_cast<ptrdiff_t>(at));
    return true;
  }

  // Calls visit(key) for every key from the smallest up. The successor is
  // looked up only after visit returns, in the set as it is then: keys added
  // above the current one are visited in this pass, keys removed before their
  // turn are not, and removing the current key does not lose the place.
  // Nothing is copied or allocated.
  template <class Visit>
  void forEachLive(Visit&& visit) {
    size_t at = 0;
    while (at < keys_.size()) {
      const Key current = keys_[at];
      visit(current);
      if (at < keys_.size() && keys_[at] == current) {
        ++at;  // unchanged up to here: the next slot holds the successor
      } else {
        at = upperBound(current);
      }
    }
  }

  // Hands the keys over (ascending) and leaves the set empty.
  std::vector<Key> takeAll() {
    std::vector<Key> out;
    out.swap(keys_);
    return out;
  }

 private:
  static uintptr_t order(Key key) { return reinterpret_cast<uintptr_t>(key); }
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
};

}  // namespace Velmora
