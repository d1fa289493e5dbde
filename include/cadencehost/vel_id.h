// VelID: the 128-bit class identifier, laid out as a GUID. It is polymorphic
// (a virtual destructor and nothing else) because hosts built on the framework
// pass it by reference with that table pointer in front of the fields: the
// layout is shared, so the table pointer stays even though nothing here calls
// through it. Constant-initialisable, so identifiers exist before any static
// constructor runs.
#pragma once

#include <cstddef>
#include <cstdint>

class VelID {
 public:
  constexpr VelID() : Data1(0), Data2(0), Data3(0), Data4{} {}
  constexpr VelID(uint32_t d1, uint16_t d2, uint16_t d3, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4,
                  uint8_t b5, uint8_t b6, uint8_t b7)
      : Data1(d1), Data2(d2), Data3(d3), Data4{b0, b1, b2, b3, b4, b5, b6, b7} {}
  constexpr VelID(const VelID& other) : Data1(other.Data1), Data2(other.Data2), Data3(other.Data3), Data4{} {
    for (int i = 0; i < 8; ++i) Data4[i] = other.Data4[i];
  }
  constexpr VelID& operator=(const VelID& other) {
    Data1 = other.Data1;
    Data2 = other.Data2;
    Data3 = other.Data3;
    for (int i = 0; i < 8; ++i) Data4[i] = other.Data4[i];
    return *this;
  }
  constexpr virtual ~VelID() {}

  constexpr bool operator==(const VelID& other) const {
    if (Data1 != other.Data1 || Data2 != other.Data2 || Data3 != other.Data3) return false;
    for (int i = 0; i < 8; ++i) {
      if (Data4[i] != other.Data4[i]) return false;
    }
    return true;
  }
  constexpr bool operator!=(const VelID& other) const { return !(*this == other); }
  constexpr uint32_t hash() const { return Data1; }

  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};

// The shared layout: a table pointer, then the four fields (LP64 and LLP64 alike).
static_assert(sizeof(void*) == 8, "the framework's layouts are those of a 64-bit process");
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif
static_assert(sizeof(VelID) == 24 && alignof(VelID) == 8, "VelID layout");
static_assert(offsetof(VelID, Data1) == 8 && offsetof(VelID, Data2) == 12 && offsetof(VelID, Data3) == 14 &&
                  offsetof(VelID, Data4) == 16,
              "VelID field offsets");
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
