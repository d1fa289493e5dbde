// The binary object: the version and identifier bytes of the module's identity.
#include "core/binary.h"

#include <cstring>

#include "cadencehost/vel_query.h"
#include "core/module_identity.h"

VelClcBinary::VelClcBinary(uint32_t version, const uint8_t* id, uint64_t size)
    : version_(version), id_(nullptr), idSize_(0) {
  id_ = new uint8_t[size];
  if (size) std::memcpy(id_, id, size);
  idSize_ = size;
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
  BinaryHolder()
      : binary(velModuleIdentity().binaryVersion, velModuleIdentity().binaryId, velModuleIdentity().binaryIdSize) {
    binary.refCount = 1;
  }
  VelClcBinary binary;
};

}  // namespace

IVelClcBinary* velBinary() {
  static BinaryHolder holder;
  return &holder.binary;
}
