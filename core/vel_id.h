// VelID: 128-bit class identifier in the layout of a GUID.
#pragma once

#include <cstdint>
#include <cstring>

class VelID {
 public:
  VelID() : Data1(0), Data2(0), Data3(0), Data4{} {}
  VelID(uint32_t d1, uint16_t d2, uint16_t d3, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3,
        uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7)
      : Data1(d1), Data2(d2), Data3(d3), Data4{b0, b1, b2, b3, b4, b5, b6, b7} {}
  VelID(const VelID& other) : Data1(other.Data1), Data2(other.Data2), Data3(other.Data3) {
    std::memcpy(Data4, other.Data4, sizeof Data4);
  }
  VelID& operator=(const VelID& other) {
    Data1 = other.Data1;
    Data2 = other.Data2;
    Data3 = other.Data3;
    std::memcpy(Data4, other.Data4, sizeof Data4);
    return *this;
  }
  virtual ~VelID() {}

  bool operator==(const VelID& other) const {
    return Data1 == other.Data1 && Data2 == other.Data2 && Data3 == other.Data3 &&
           std::memcmp(Data4, other.Data4, sizeof Data4) == 0;
  }
  bool operator!=(const VelID& other) const { return !(*this == other); }
  uint32_t hash() const { return Data1; }

  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
