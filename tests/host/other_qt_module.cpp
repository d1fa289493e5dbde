// A module that links the other Qt major version than the host's: the host
// must refuse it before opening it, so the line below never prints.
#include <QtGlobal>

#include <cstdint>
#include <cstdio>

namespace {
struct LoadMarker {
  LoadMarker() { std::fprintf(stderr, "other-qt module loaded (Qt %s)\n", qVersion()); }
} marker;
}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t EntryPoint(uint32_t*, void**) { return 0; }
