// VelClcBinary: the process-wide object that describes the module by the
// identifier bytes of its identity, and its accessor.
#pragma once

#include <cstdint>

#include "cadencehost/vel_interfaces.h"

class VelClcBinary : public IVelClcBinary {
 public:
  // Copies `size` identifier bytes into a buffer of its own.
  VelClcBinary(uint32_t version, const uint8_t* id, uint64_t size);
  ~VelClcBinary() override;
  VelClcBinary(const VelClcBinary&) = delete;
  VelClcBinary& operator=(const VelClcBinary&) = delete;

  uint32_t getBinaryVersion() override { return version_; }
  const uint8_t* getBinaryId() override { return id_; }
  uint64_t getBinaryIdSize() override { return idSize_; }

  void queryInterface(const char* name, void* target) override;
  static constexpr const char* kClassName = "VelClcBinary";
  const char* getClassName() override { return kClassName; }

 private:
  uint32_t version_;
  uint8_t* id_;  // idSize_ bytes, owned
  uint64_t idSize_;
};

// The singleton, built on the first call and destroyed at unload. If building
// it throws, the next call tries again.
IVelClcBinary* velBinary();
