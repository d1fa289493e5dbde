// A loadable library whose EntryPoint reports failure, for the host's loader tests.
#include <cstdint>

class IVelComponent;

extern "C" __attribute__((visibility("default"))) int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  *version = 0;
  *object = nullptr;
  return 0;
}
