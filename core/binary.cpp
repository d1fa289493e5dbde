// The binary object: version 1 and the module's 16-byte identifier.
#include "core/binary.h"

#include <cstring>

#include "core/vel_query.h"

const uint8_t VelClcBinary::kIdBytes[VelClcBinary::kIdSize] = {
    0xb5, 0xe2, 0x61, 0xdc, 0x48, 0x5e, 0xf4, 0xe7, 0x9f, 0x8e, 0x0a, 0xdb, 0x71, 0xf7, 0x45, 0x90};

VelClcBinary::VelClcBinary() : version_(kVersion), id_(nullptr), idSize_(0) {
  id_ = new uint8_t[kIdSize];
  std::memcpy(id_, kIdBytes, kIdSize);
  idSize_ = kIdSize;
}

VelClcBinary::~VelClcBinary() { delete[] id_; }

void VelClcBinary::queryInterface(const char* name, void* target) {
  if (!name) {
    velEnumerateNames(target, "VelClcBinary", {"IVelClcBinary"});
    return;
  }
  void** slot = velQuerySlot(target);
  if (!slot) return;
  if (velNameIs(name, "VelClcBinary")) *slot = this;
  else if (velNameIs(name, "IVelUnknown")) *slot = static_cast<IVelUnknown*>(this);
  else if (velNameIs(name, "IVelClcBinary")) *slot = static_cast<IVelClcBinary*>(this);
}

namespace {

// The singleton lives in static storage, so no releaseRef may ever delete it:
// the module keeps one reference of its own on it, never given back.
struct BinaryHolder {
  BinaryHolder() { binary.refCount = 1; }
  VelClcBinary binary;
};

}  // namespace

IVelClcBinary* velBinary() {
  static BinaryHolder holder;
  return &holder.binary;
}
