// VelString: the UTF-16 text string of user-visible texts and file paths.
// Three block references (text, aux1, aux2) shared with the host's layout;
// the content is `text` alone, and this module never fills the aux blocks.
// Copying an owned text copies it into a block of its own (the copy rule);
// copying a borrowed text borrows the same units. Strings the module hands a
// host (messages, translations) are the host's for the call, or the host's
// own when returned by value; strings a host returns by reference (the data
// store's, the directory service's) are copied at once by the module.
#pragma once

#include <cstddef>
#include <cstdint>

struct VelString {
  char16_t* text;
  int32_t textCapacity;  // bytes; > 0 owned pooled block, else borrowed
  void* aux1;
  int32_t aux1Capacity;
  void* aux2;
  int32_t aux2Capacity;

  // assign() length values.
  static constexpr uint32_t kBorrow = 0;
  static constexpr uint32_t kMeasure = 0xFFFFFFFFu;

  // Ownership, constructor by constructor:
  // Null text, nothing owned.
  VelString() noexcept
      : text(nullptr), textCapacity(0), aux1(nullptr), aux1Capacity(0), aux2(nullptr), aux2Capacity(0) {}
  // Owns: `narrow` widened byte by byte into a block of its own (the 8-bit
  // text need not outlive the string; a null `narrow` gives a null text).
  // substituteArgs fills placeholders in owned text only.
  explicit VelString(const char* narrow);
  // Owns one character; c = 0 gives an owned empty text.
  explicit VelString(char c);
  // Owns a copy when `other` owns its text, borrows the same units when
  // `other` borrows (the copy rule above).
  VelString(const VelString& other);
  // Takes over all three blocks, owned or borrowed; `other` is left null.
  VelString(VelString&& other) noexcept;
  VelString& operator=(const VelString& other);
  VelString& operator=(VelString&& other) noexcept;
  ~VelString();  // frees every owned block

  // Borrows a UTF-16 literal (no allocation): it must outlive the string and
  // every borrowed copy, and substituteArgs leaves it alone.
  static VelString borrowing(const char16_t* literal) {
    VelString s;
    s.text = const_cast<char16_t*>(literal);
    return s;
  }

  // length kBorrow borrows, kMeasure copies up to the terminator, any other
  // value copies that many units. Safe when `source` lies in this string's
  // own block (copied before the block is released; never borrowed from it).
  void assign(const char16_t* source, uint32_t length);
  // Widens 8-bit text (each byte one unit, zero-extended) into an owned block.
  void assignNarrow(const char* narrow);

  // Units before the terminator; 0 for a null text.
  int32_t length() const;
  bool ownsText() const { return textCapacity > 0 && text != nullptr; }
  bool isEmpty() const { return length() == 0; }

  // In place while the block has room, else into a block of the exact size.
  // `other` may be this very string.
  void append(const VelString& other);
  // First occurrence of `needle` at or after `start`, or -1. Empty needle: 0.
  int32_t find(const VelString& needle, int32_t start) const;
  // At most the first n units (n below 0 counts as 0); owned when cut.
  VelString left(int32_t n) const;
  // Removes the units of [position, position + count) that lie in the text;
  // the result is built in a block of its own (borrowed text is never written).
  void erase(int32_t position, int32_t count);
  // A new string: units [start, end) replaced by `with` (range clamped).
  VelString replace(int32_t start, int32_t end, const VelString& with) const;
  // Replaces '%1'..'%9' and '%:' by args[k] (k = digit - '1') in an owned
  // text, with one allocation; a borrowed text is left alone. The list ends at
  // its first null entry, and a placeholder at or past it becomes "". A
  // number may occur any number of times; each occurrence is filled.
  void substituteArgs(const VelString* const* args);

  // Content equality (null text equals the empty text here).
  bool sameText(const VelString& other) const;
  bool sameText(const char16_t* other) const;

  // Releases every owned block; afterwards all fields are zero.
  void clear();

 private:
  // Releases the current text block and installs `block` (owned).
  void installText(char16_t* block, int32_t capacity);
  // Replaces the text by an owned copy of `units` units of `source`.
  void copyUnits(const char16_t* source, int64_t units);
};

// The shared layout (the same under LP64 and LLP64: no `long` in it).
static_assert(sizeof(VelString) == 48 && offsetof(VelString, text) == 0 && offsetof(VelString, textCapacity) == 8 &&
                  offsetof(VelString, aux1) == 16 && offsetof(VelString, aux1Capacity) == 24 &&
                  offsetof(VelString, aux2) == 32 && offsetof(VelString, aux2Capacity) == 40,
              "VelString layout");
