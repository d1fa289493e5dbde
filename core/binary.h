// VelClcBinary: the process-wide object that describes this module by a
// 16-byte identifier, and its accessor.
#pragma once

#include <cstdint>

#include "core/vel_interfaces.h"

class VelClcBinary : public IVelClcBinary {
 public:
  static constexpr uint32_t kVersion = 1;
  static constexpr uint64_t kIdSize = 16;
  static const uint8_t kIdBytes[kIdSize];

  VelClcBinary();
  ~VelClcBinary() override;
  VelClcBinary(const VelClcBinary&) = delete;
  VelClcBinary& operator=(const VelClcBinary&) = delete;

  uint32_t getBinaryVersion() override { return version_; }
  const uint8_t* getBinaryId() override { return id_; }
  uint64_t getBinaryIdSize() override { return idSize_; }

  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return "VelClcBinary"; }

 private:
  uint32_t version_;
  uint8_t* id_;  // kIdSize bytes, owned
  uint64_t idSize_;
};

// The singleton, built on the first call and destroyed at unload. If building
// it throws, the next call tries again.
IVelClcBinary* velBinary();
