// VelCString: the 8-bit name string (class, interface, service and timer
// names). Owns a pooled block when capacity > 0, otherwise borrows its text.
// Copying an owned string copies its text into a block of its own; copying a
// borrowed one borrows the same text. The pooled blocks come from the pool
// of the runtime copy that makes them and carry their allocator, so any
// copy of the runtime can free them.
#pragma once

#include <cstddef>
#include <cstdint>

struct VelCString {
  char* text;
  int32_t capacity;

  // Ownership, constructor by constructor (unlike VelString, which copies
  // 8-bit text, a VelCString made from a `const char*` borrows it):
  // Null text (not ""), capacity 0.
  VelCString() noexcept : text(nullptr), capacity(0) {}
  // Borrows `borrowed` (no allocation); it must outlive this string.
  VelCString(const char* borrowed) noexcept  // NOLINT: implicit on purpose, for literal names
      : text(const_cast<char*>(borrowed)), capacity(0) {}
  // Owns a copy when `other` owns its text, borrows the same text when
  // `other` borrows.
  VelCString(const VelCString& other);
  // Takes over `other`'s text and block; `other` is left null.
  VelCString(VelCString&& other) noexcept : text(other.text), capacity(other.capacity) {
    other.text = nullptr;
    other.capacity = 0;
  }
  VelCString& operator=(const VelCString& other);
  VelCString& operator=(VelCString&& other) noexcept;
  // Frees an owned block.
  ~VelCString();

  // Owns a copy of `source` (null stays null): for a name that must outlive
  // the text it came from.
  static VelCString copyOf(const char* source);

  bool ownsText() const { return capacity > 0 && text != nullptr; }
  // Bytes before the terminator; 0 for null.
  int32_t length() const;
  // The text, or "" for null.
  const char* c_str() const { return text ? text : ""; }

  // Both null: equal. One null: not equal (null differs from ""). Else bytewise.
  bool operator==(const char* other) const;
  bool operator==(const VelCString& other) const { return *this == other.text; }
  bool operator!=(const char* other) const { return !(*this == other); }
  bool operator!=(const VelCString& other) const { return !(*this == other.text); }

  // djb2 over the bytes taken as signed values; 0 for null, 5381 for "".
  uint32_t nameHash() const { return nameHashOf(text); }
  static uint32_t nameHashOf(const char* text);

  // Releases an owned block; afterwards text is null and capacity 0.
  void clear();
};

// The shared layout (the same under LP64 and LLP64: no `long` in it).
static_assert(sizeof(VelCString) == 16 && offsetof(VelCString, text) == 0 && offsetof(VelCString, capacity) == 8,
              "VelCString layout");
