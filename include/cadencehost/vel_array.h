// VelArray<T>: a growable array used from position 1 (slot 0 exists but holds
// no element). VelBlockArray: an array kept in one pooled block.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "cadencehost/vel_object.h"

template <class T>
struct VelArray {
  int32_t capacity;
  T* data;
  int32_t count;

  VelArray() noexcept : capacity(0), data(nullptr), count(0) {}
  // Storage of `initialCapacity` zeroed slots, count 0.
  explicit VelArray(int32_t initialCapacity) : capacity(0), data(nullptr), count(0) {
    if (initialCapacity > 0) {
      data = newSlots(initialCapacity);
      capacity = initialCapacity;
    }
  }
  VelArray(const VelArray&) = delete;
  VelArray& operator=(const VelArray&) = delete;
  // Destroys every slot's element with the storage.
  ~VelArray() { delete[] data; }

  // Makes slot `position` usable: capacity (at least 1) doubles until it
  // exceeds `position`; elements are carried over by assignment.
  void reserveSlot(int32_t position) {
    if (position < capacity) return;
    int64_t grown = capacity > 0 ? capacity : 1;  // doubled in 64 bits: it must not wrap
    while (grown <= position) grown *= 2;
    if (grown > INT32_MAX) velOutOfMemory(grown * static_cast<int64_t>(sizeof(T)));
    T* fresh = newSlots(static_cast<int32_t>(grown));
    for (int32_t i = 0; i < capacity && i < grown; ++i) fresh[i] = data[i];
    delete[] data;
    data = fresh;
    capacity = static_cast<int32_t>(grown);
  }

  // Appends `element` at position count + 1. `element` may be one of this
  // array's own slots: it is copied before the storage it lives in is
  // replaced.
  void push(const T& element) {
    if (count + 1 >= capacity) {
      T kept(element);
      reserveSlot(count + 1);
      data[++count] = kept;
      return;
    }
    data[++count] = element;
  }
  // The slot at `count` (made usable first).
  T& last() {
    reserveSlot(count);
    return data[count];
  }
  // The element at `position`, 1 to count (not checked).
  T& at(int32_t position) { return data[position]; }
  const T& at(int32_t position) const { return data[position]; }
  // Count 0; the storage stays.
  void empty() { count = 0; }

 private:
  // `n` zeroed slots. Running out of memory for them ends the process through
  // the runtime's out-of-memory report, never in an exception to the caller.
  static T* newSlots(int32_t n) {
    try {
      return new T[n]();
    } catch (const std::bad_alloc&) {
      velOutOfMemory(static_cast<int64_t>(n) * static_cast<int64_t>(sizeof(T)));
    }
  }
};

// Handed to IVelErrorService::reportError as its details (always the
// module's empty one).
struct VelBlockArray {
  void* data;
  int32_t capacity;  // bytes; the block rule of the strings

  VelBlockArray() noexcept : data(nullptr), capacity(0) {}
  VelBlockArray(const VelBlockArray&) = delete;
  VelBlockArray& operator=(const VelBlockArray&) = delete;
  ~VelBlockArray();
};

// The process-wide empty array handed to the error service.
const VelBlockArray& velEmptyBlockArray();

// The shared layouts (the same under LP64 and LLP64: no `long` in them).
static_assert(sizeof(VelArray<void*>) == 24 && offsetof(VelArray<void*>, capacity) == 0 &&
                  offsetof(VelArray<void*>, data) == 8 && offsetof(VelArray<void*>, count) == 16,
              "VelArray layout");
static_assert(sizeof(VelBlockArray) == 16 && offsetof(VelBlockArray, data) == 0 &&
                  offsetof(VelBlockArray, capacity) == 8,
              "VelBlockArray layout");
