// Broken: Probe's query answers "IProbe" for any prefix of it ("IProb", "I",
// the empty name).
#include <cstring>

#include "tests/host/validate/probe_module.h"

namespace {

class PrefixProbe : public probe::Probe {
 public:
  void queryInterface(const char* name, void* target) override {
    if (name && std::strncmp(name, IProbe::kInterfaceName, std::strlen(name)) == 0) {
      *static_cast<void**>(target) = static_cast<IProbe*>(this);
      return;
    }
    Probe::queryInterface(name, target);
  }
};

VelSingletonTClassItemFactory<PrefixProbe> probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);

}  // namespace
