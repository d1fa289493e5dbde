// A loadable library whose EntryPoint reports failure, for the host's loader tests.
#include <cstdint>

class IVelComponent;

#ifdef _WIN32
#define FAILING_EXPORT __declspec(dllexport)
#else
#define FAILING_EXPORT __attribute__((visibility("default")))
#endif

extern "C" FAILING_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  *version = 0;
  *object = nullptr;
  return 0;
}
