// The ordered set of a timer's listeners: unique keys, ordered by the
// unsigned value of the listener pointer. The set is one word inside the
// timer: empty, the single key itself, or (tagged by its low bit) a block
// holding the count and the sorted keys. Most timers have one listener, so an
// alert pass usually reads no memory of the set's own; a pass never
// allocates. Blocks come the guarded way: when memory runs out, the report
// and the end of the process, never an exception into the caller.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "cadencehost/timer_interfaces.h"
#include "memory/guarded_new.h"

namespace Velmora {

class ListenerSet {
 public:
  using Key = ITimerListener*;

  ListenerSet() = default;
  ListenerSet(const ListenerSet&) = delete;
  ListenerSet& operator=(const ListenerSet&) = delete;
  ~ListenerSet() { freeBlock(); }

  bool contains(Key key) const {
    const View v = view();
    const uint32_t at = lowerBound(v, key);
    return at < v.size && v.keys[at] == key;
  }
  int size() const { return static_cast<int>(view().size); }
  bool empty() const { return view().size == 0; }

  // Makes room for one more key, so that a following insertNew cannot throw.
  void reserveOneMore() {
    if (!word_) return;  // the word itself takes the first key
    Block* block = this->block();
    if (!block) {
      Block* fresh = allocate(kFirstBlockCapacity);
      fresh->size = 1;
      fresh->keys()[0] = word_;
      word_ = tag(fresh);
      return;
    }
    if (block->size < block->capacity) return;
    Block* fresh = allocate(static_cast<uint64_t>(block->capacity) * 2);
    fresh->size = block->size;
    std::memcpy(fresh->keys(), block->keys(), block->size * sizeof(Key));
    word_ = tag(fresh);
    cadence::guard::releaseBlock(block);
  }
  // Inserts a key that is not yet present (call reserveOneMore first).
  void insertNew(Key key) {
    Block* block = this->block();
    if (!block) {
      word_ = key;  // reserveOneMore left the word empty or made a block
      return;
    }
    const uint32_t at = lowerBound(View{block->keys(), block->size}, key);
    std::memmove(block->keys() + at + 1, block->keys() + at, (block->size - at) * sizeof(Key));
    block->keys()[at] = key;
    ++block->size;
  }
  // Removes the key; false when it was not present. The block goes with the
  // last key, so a set emptied by removals holds no memory.
  bool erase(Key key) {
    Block* block = this->block();
    if (!block) {
      if (!key || word_ != key) return false;
      word_ = nullptr;
      return true;
    }
    const uint32_t at = lowerBound(View{block->keys(), block->size}, key);
    if (at == block->size || block->keys()[at] != key) return false;
    std::memmove(block->keys() + at, block->keys() + at + 1, (block->size - at - 1) * sizeof(Key));
    if (--block->size == 0) {
      word_ = nullptr;
      cadence::guard::releaseBlock(block);
    }
    return true;
  }

  // Calls visit(key) for every key from the smallest up. The successor is
  // looked up only after visit returns, in the set as it is then: keys added
  // above the current one are visited in this pass, keys removed before their
  // turn are not, and removing the current key does not lose the place.
  // Nothing is copied or allocated.
  template <class Visit>
  void forEachLive(Visit&& visit) {
    const Key first = word_;
    if (!isBlock(first)) {
      // No key, or the only one (the common case): one call, one compare.
      if (!first) return;
      visit(first);
      if (word_ != first) [[unlikely]] walkFrom(upperBound(view(), first), visit);
      return;
    }
    walkFrom(0, visit);
  }

  // Empties the set first, then calls visit(key) for every key it held, from
  // the smallest up; a visit that adds to the set or empties it again does
  // not touch the keys being handed over. Nothing is allocated.
  template <class Visit>
  void drain(Visit&& visit) {
    const Key word = word_;
    word_ = nullptr;
    Block* block = isBlock(word) ? untag(word) : nullptr;
    if (!block) {
      if (word) visit(word);
      return;
    }
    for (uint32_t i = 0; i < block->size; ++i) visit(block->keys()[i]);
    cadence::guard::releaseBlock(block);
  }

 private:
  static constexpr uint32_t kFirstBlockCapacity = 4;
  static constexpr uintptr_t kBlockTag = 1;  // listeners are at least pointer-aligned

  struct Block {
    uint32_t size;
    uint32_t capacity;
    Key* keys() { return reinterpret_cast<Key*>(this + 1); }
  };
  static_assert(sizeof(Block) % alignof(Key) == 0, "the keys follow the header");

  struct View {
    const Key* keys;
    uint32_t size;
  };

  static uintptr_t order(Key key) { return reinterpret_cast<uintptr_t>(key); }
  // The walk from slot `at` on. After each call the set may have changed,
  // even moved its keys: while the current key still holds its slot, the
  // next slot is its successor (one compare), else the first key above it.
  template <class Visit>
#if defined(__GNUC__)
  __attribute__((noinline))
#endif
  void walkFrom(uint32_t at, Visit& visit) {
    View v = view();
    while (at < v.size) {
      const Key current = v.keys[at];
      visit(current);
      v = view();
      at = at < v.size && v.keys[at] == current ? at + 1 : upperBound(v, current);
    }
  }
  static bool isBlock(Key word) { return reinterpret_cast<uintptr_t>(word) & kBlockTag; }
  static Key tag(Block* block) { return reinterpret_cast<Key>(reinterpret_cast<uintptr_t>(block) | kBlockTag); }
  static Block* untag(Key word) { return reinterpret_cast<Block*>(reinterpret_cast<uintptr_t>(word) & ~kBlockTag); }
  Block* block() const { return isBlock(word_) ? untag(word_) : nullptr; }
  View view() const {
    if (Block* block = this->block()) return View{block->keys(), block->size};
    return View{&word_, word_ ? 1u : 0u};
  }
  static Block* allocate(uint64_t capacity) {
    // More keys than a 32-bit count holds is memory the process cannot have.
    const uint64_t bytes = sizeof(Block) + capacity * sizeof(Key);
    if (capacity > UINT32_MAX) xalOutOfMemory(static_cast<int64_t>(bytes));
    Block* block = new (cadence::guard::allocateOrFail(bytes)) Block;
    block->size = 0;
    block->capacity = static_cast<uint32_t>(capacity);
    return block;
  }
  void freeBlock() { cadence::guard::releaseBlock(block()); }
  static bool before(Key a, Key b) { return order(a) < order(b); }
  static uint32_t lowerBound(View v, Key key) {
    return static_cast<uint32_t>(std::lower_bound(v.keys, v.keys + v.size, key, before) - v.keys);
  }
  static uint32_t upperBound(View v, Key key) {
    return static_cast<uint32_t>(std::upper_bound(v.keys, v.keys + v.size, key, before) - v.keys);
  }

  // Empty (null), the one key, or the tagged block.
  Key word_ = nullptr;
};

}  // namespace Velmora
