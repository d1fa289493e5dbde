// A module that links the other Qt major version than the host's: the host
// must refuse it before opening it, so the line below never prints.
#include <cstdint>
#include <cstdio>

// QtCore's version function as Qt 5 and 6 declare it (the host's own Qt
// headers may be Qt 4's, which declare it another way).
extern "C" const char* qVersion() noexcept;

namespace {
struct LoadMarker {
  LoadMarker() { std::fprintf(stderr, "other-qt module loaded (Qt %s)\n", qVersion()); }
} marker;
}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t EntryPoint(uint32_t*, void**) { return 0; }
