// VelID: 128-bit class identifier in the layout of a GUID, and the two
// identifiers of this module (constant-initialised, so they are ready before
// any static constructor of the module runs).
#pragma once

#include <cstdint>

class VelID {
 public:
  constexpr VelID() : Data1(0), Data2(0), Data3(0), Data4{} {}
  constexpr VelID(uint32_t d1, uint16_t d2, uint16_t d3, uint8_t b0, uint8_t b1, uint8_t b2,
                  uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7)
      : Data1(d1), Data2(d2), Data3(d3), Data4{b0, b1, b2, b3, b4, b5, b6, b7} {}
  constexpr VelID(const VelID& other)
      : Data1(other.Data1), Data2(other.Data2), Data3(other.Data3), Data4{} {
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

// {A29D47F5-FC31-456F-8F72-10D767236FEF}: the class identifier of the timer service.
extern const VelID kVelTimerServiceClassId;
// {E6BE9F43-F2E6-4917-930E-F724B2DE29F2}: the constant the component identifier copies.
extern const VelID kVelComponentIdValue;

// The process-wide component identifier (a copy of kVelComponentIdValue,
// always at the same address); what the component's getComponentId returns.
const VelID& velComponentId();
