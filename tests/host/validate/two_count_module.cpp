// Broken: an interface derived from IVelUnknown non-virtually, so Probe has
// a second IVelUnknown with a count of its own; its query is written by hand
// (velAnswerQuery refuses the ambiguous base) and answers "IVelUnknown" with
// the first. It needs an item factory of its own for the same reason.
// (The ambiguous base is the point: no warning for it.)
#pragma GCC diagnostic ignored "-Winaccessible-base"

#include "tests/host/validate/probe_module.h"

namespace {

class ITally : public IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITally";
  virtual int32_t tally() = 0;
};

class TwoCountProbe final : public probe::IProbe, public ITally {
 public:
  int32_t answer() override { return 42; }
  int32_t tally() override { return 1; }
  void queryInterface(const char* name, void* target) override {
    if (!name) {
      auto* record = static_cast<VelNameQuery*>(target);
      appendQueryName(probe::Probe::kClassName, kVelNameKindClass, record);
      appendQueryName(IProbe::kInterfaceName, kVelNameKindInterface, record);
      appendQueryName(ITally::kInterfaceName, kVelNameKindInterface, record);
      return;
    }
    void** slot = velQuerySlot(target);
    if (!slot) return;
    if (velNameIs(name, probe::Probe::kClassName)) *slot = this;
    if (velNameIs(name, IVelUnknown::kInterfaceName)) *slot = static_cast<IVelUnknown*>(static_cast<IProbe*>(this));
    if (velNameIs(name, IProbe::kInterfaceName)) *slot = static_cast<IProbe*>(this);
    if (velNameIs(name, ITally::kInterfaceName)) *slot = static_cast<ITally*>(this);
  }
  const char* getClassName() override { return probe::Probe::kClassName; }
};

class TwoCountFactory final : public VelItemFactory {
 public:
  using VelItemFactory::VelItemFactory;
  IVelUnknown* createItem(uint32_t* status) override {
    static probe::IProbe* const instance = [] {
      probe::IProbe* made = new TwoCountProbe;
      made->addRef();
      return made;
    }();
    if (status) *status = kVelCreatedSingleton;
    return instance;
  }
};

TwoCountFactory probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);

}  // namespace
