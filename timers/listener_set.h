// The ordered set of a timer's listeners: unique keys in a vector, ordered by
// the unsigned value of the listener pointer. Its storage comes the guarded
// way (when memory runs out, the report and the end of the process, never an
// exception into the caller); an alert pass allocates nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "memory/guarded_new.h"

namespace Velmora {

class ListenerSet {
 public:
  using Key = ITimerListener*;

  bool contains(Key key) const {
    const auto at = lowerBound(key);
    return at != keys_.end() && *at == key;
  }
  int size() const { return static_cast<int>(keys_.size()); }
  bool empty() const { return keys_.empty(); }

  // Makes room for one more key, so that a following insertNew cannot fail.
  void reserveOneMore() {
    if (keys_.size() < keys_.capacity()) return;
    keys_.reserve(keys_.empty() ? 1 : keys_.size() * 2);
    ++changes_;
  }
  // Inserts a key that is not yet present (call reserveOneMore first).
  void insertNew(Key key) {
    keys_.insert(lowerBound(key), key);
    ++changes_;
  }
  // Removes the key; false when it was not present. The storage goes with
  // the last key, so a set emptied by removals holds no memory.
  bool erase(Key key) {
    const auto at = lowerBound(key);
    if (at == keys_.end() || *at != key) return false;
    keys_.erase(at);
    if (keys_.empty()) Keys().swap(keys_);
    ++changes_;
    return true;
  }

  // Calls visit(key) for every key from the smallest up. The successor is
  // looked up only after visit returns, in the set as it is then: keys added
  // above the current one are visited in this pass, keys removed before their
  // turn are not, and removing the current key does not lose the place. A
  // visit that changes nothing costs one comparison (the alert path).
  template <class Visit>
  void forEachLive(Visit&& visit) {
    const Key* at = keys_.data();
    const Key* end = at + keys_.size();
    while (at != end) {
      const Key current = *at;
      const uint64_t changesBefore = changes_;
      visit(current);
      if (changes_ == changesBefore) {
        ++at;
        continue;
      }
      at = keys_.data() + (upperBound(current) - keys_.begin());
      end = keys_.data() + keys_.size();
    }
  }

  // Empties the set first, then calls visit(key) for every key it held, from
  // the smallest up; a visit that adds to the set or empties it again does
  // not touch the keys being handed over.
  template <class Visit>
  void drain(Visit&& visit) {
    Keys held;
    held.swap(keys_);
    ++changes_;
    for (Key key : held) visit(key);
  }

 private:
  using Keys = std::vector<Key, cadence::guard::GuardedAllocator<Key>>;

  static bool before(Key a, Key b) { return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b); }
  Keys::iterator lowerBound(Key key) { return std::lower_bound(keys_.begin(), keys_.end(), key, before); }
  Keys::const_iterator lowerBound(Key key) const { return std::lower_bound(keys_.begin(), keys_.end(), key, before); }
  Keys::iterator upperBound(Key key) { return std::upper_bound(keys_.begin(), keys_.end(), key, before); }

  Keys keys_;
  uint64_t changes_ = 0;  // insertions, removals and moves of the storage
};

}  // namespace Velmora
