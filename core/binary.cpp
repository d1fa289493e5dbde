// The binary object: the version and identifier bytes of the module's identity.
#include "core/binary.h"

#include <cstring>

#include "base/process_wide.h"
#include "cadencehost/vel_query.h"
#include "core/module_identity.h"
#include "memory/guarded_new.h"

VelClcBinary::VelClcBinary(uint32_t version, const uint8_t* id, uint64_t size)
    : version_(version), id_(nullptr), idSize_(0) {
  // Built on the host's first request: running out of memory here ends the
  // process through the report, never in an exception through the host.
  id_ = cadence::guard::failForGoodOnBadAlloc([size] { return new uint8_t[size]; });
  if (size) std::memcpy(id_, id, size);
  idSize_ = size;
}

VelClcBinary::~VelClcBinary() { delete[] id_; }

void VelClcBinary::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelClcBinary>(this, kClassName, name, target);
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
  return &cadence::builtOnFirstUse<[] { return BinaryHolder(); }>().binary;
}
