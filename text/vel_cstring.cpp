// VelCString: copy rule, equality and nameHash.
#include "cadencehost/vel_cstring.h"

#include <climits>
#include <cstring>

#include "memory/pool.h"
#include "memory/xal_alloc.h"

VelCString VelCString::copyOf(const char* source) {
  VelCString s;
  if (!source) return s;
  // Sized in 64 bits: a text the pool's sizes cannot hold goes the
  // out-of-memory way, never into a smaller block.
  const size_t bytes = std::strlen(source) + 1;
  s.text = static_cast<char*>(poolAllocateBytes(bytes, &s.capacity));
  std::memcpy(s.text, source, bytes);
  return s;
}

VelCString::VelCString(const VelCString& other) : text(other.text), capacity(0) {
  if (other.ownsText()) *this = copyOf(other.text);
}

VelCString& VelCString::operator=(const VelCString& other) {
  if (this != &other) *this = VelCString(other);  // copy first: `other` may live in our own block
  return *this;
}

VelCString& VelCString::operator=(VelCString&& other) noexcept {
  if (this == &other) return *this;
  clear();
  text = other.text;
  capacity = other.capacity;
  other.text = nullptr;
  other.capacity = 0;
  return *this;
}

VelCString::~VelCString() { clear(); }

void VelCString::clear() {
  if (capacity > 0 && text) poolFreeTyped(&capacity, &text);
  text = nullptr;
  capacity = 0;
}

int32_t VelCString::length() const {
  if (!text) return 0;
  const size_t bytes = std::strlen(text);
  if (bytes >= static_cast<size_t>(INT32_MAX)) velOutOfMemory(static_cast<int64_t>(bytes) + 1);  // no 32-bit length
  return static_cast<int32_t>(bytes);
}

bool VelCString::operator==(const char* other) const {
  if (!text || !other) return !text && !other;
  return std::strcmp(text, other) == 0;
}

uint32_t VelCString::nameHashOf(const char* s) {
  if (!s) return 0;
  uint32_t h = 5381;
  for (; *s; ++s) h = h * 33 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*s)));
  return h;
}
