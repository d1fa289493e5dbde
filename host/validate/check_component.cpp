// The checks of what EntryPoint hands over and of the identity the component
// and its binary object answer with.
#include <cstring>
#include <utility>
#include <vector>

#include "validate/checks.h"
#include "validate/module_under_test.h"

namespace cadence::host::validate {
namespace {

constexpr int kEntryPointCalls = 3;
constexpr uint32_t kUntouchedVersion = 7;
constexpr uint64_t kMaxBinaryIdSize = 4096;

bool isEmptyText(const char* text) { return !text || !*text; }

}  // namespace

Verdict checkEntryPoint(const CheckSubject& subject) {
  const ModuleUnderTest module(subject.modulePath);
  if (!module.opened()) return Verdict{false, module.reason()};
  Findings findings;
  const VelEntryPointFn entryPoint = module.entryPoint();

  // No object slot: refused, and nothing written.
  const int32_t noSlots = entryPoint(nullptr, nullptr);
  if (noSlots != kVelEntryPointFailed) {
    findings.fail("EntryPoint(null, null) returned " + std::to_string(noSlots) +
                  ": without an object slot it returns 0");
  }
  uint32_t version = kUntouchedVersion;
  const int32_t noObjectSlot = entryPoint(&version, nullptr);
  if (noObjectSlot != kVelEntryPointFailed) {
    findings.fail("EntryPoint(&version, null) returned " + std::to_string(noObjectSlot) +
                  ": without an object slot it returns 0");
  }
  if (version != kUntouchedVersion) {
    findings.fail("EntryPoint(&version, null) wrote version " + std::to_string(version) +
                  ": without an object slot it writes nothing");
  }

  // What each call broke, and on which calls: a rule broken on every call is said once.
  std::vector<std::pair<std::string, std::vector<int>>> broken;
  const auto brokeOn = [&broken](int call, const std::string& problem) {
    for (auto& [known, calls] : broken) {
      if (known == problem) return calls.push_back(call);
    }
    broken.push_back({problem, {call}});
  };
  IVelComponent* components[kEntryPointCalls] = {};
  for (int call = 1; call <= kEntryPointCalls; ++call) {
    version = 0;
    IVelComponent* component = nullptr;
    const int32_t status = entryPoint(&version, &component);
    if (status != kVelEntryPointSucceeded) brokeOn(call, "status " + std::to_string(status) + ", expected 1");
    if (version != kVelInterfaceVersion) {
      brokeOn(call, "version " + std::to_string(version) + ", expected " + std::to_string(kVelInterfaceVersion));
    }
    if (!component) {
      brokeOn(call, "no component");
      continue;
    }
    if (component->getRefCount() != 0) {
      brokeOn(call, "the new component has count " + std::to_string(component->getRefCount()) +
                        ", expected 0 (the host takes the first reference)");
    }
    for (int earlier = 1; earlier < call; ++earlier) {
      if (components[earlier - 1] == component) brokeOn(call, "the same component as an earlier call");
    }
    components[call - 1] = component;
  }
  for (const auto& [problem, calls] : broken) {
    std::string on;
    if (static_cast<int>(calls.size()) == kEntryPointCalls) {
      on = "on each of " + std::to_string(kEntryPointCalls) + " calls";
    } else {
      for (size_t i = 0; i < calls.size(); ++i) on += (i ? ", " : "on call ") + std::to_string(calls[i]);
    }
    findings.fail("EntryPoint(&version, &object): " + problem + ", " + on);
  }
  // Each component goes with the reference a host would take and give back.
  for (IVelComponent* component : components) {
    if (!component || component->getRefCount() != 0) continue;
    component->addRef();
    component->releaseRef();
  }
  return findings.verdict("status 1, version 100 and a new component with count 0 on each of " +
                          std::to_string(kEntryPointCalls) + " calls; no object slot: status 0, nothing written");
}

Verdict checkIdentity(const CheckSubject& subject) {
  StartedComponent one(subject.modulePath, &hostWithServices());
  if (!one.ok()) return Verdict{false, one.reason};
  StartedComponent other(subject.modulePath, &hostWithServices());
  if (!other.ok()) return Verdict{false, other.reason};
  IVelComponent* first = one.component;
  IVelComponent* second = other.component;
  IVelCompInternal* internal = one.internal;
  IVelCompInternal* otherInternal = other.internal;

  Findings findings;
  const VelID* id = internal->getComponentId();
  if (!id) {
    findings.fail("getComponentId gave null");
  } else {
    if (internal->getComponentId() != id || otherInternal->getComponentId() != id) {
      findings.fail("getComponentId points elsewhere on another call or component");
    }
    if (*id == VelID()) findings.fail("the component id is all zeros: no identity of its own");
  }
  const char* name = internal->getModuleName();
  if (isEmptyText(name)) findings.fail("getModuleName gave " + (name ? std::string("an empty name") : "null"));
  if (!isEmptyText(name) && std::strcmp(textOf(otherInternal->getModuleName()).c_str(), name) != 0) {
    findings.fail("another component gives another module name");
  }
  const char* date = first->getBuildDate();
  const char* internalDate = internal->getBuildDate();
  if (isEmptyText(date)) findings.fail("IVelComponent::getBuildDate gave no date");
  if (textOf(date) != textOf(internalDate)) {
    findings.fail("the build date differs between the interfaces: " + quoted(textOf(date)) + " and " +
                  quoted(textOf(internalDate)));
  }
  if (!internal->isValid()) findings.fail("isValid answered false");

  IVelClcBinary* binary = first->getBinary();
  std::string binaryText;
  if (!binary) {
    findings.fail("getBinary gave null");
  } else {
    if (first->getBinary() != binary || second->getBinary() != binary) {
      findings.fail("getBinary gives another object on another call or component");
    }
    const uint64_t size = binary->getBinaryIdSize();
    if (size == 0 || size > kMaxBinaryIdSize || !binary->getBinaryId()) {
      findings.fail("the binary object's id has " + std::to_string(size) + " bytes" +
                    (binary->getBinaryId() ? "" : " at null"));
    }
    binaryText = ", binary version " + std::to_string(binary->getBinaryVersion()) + " with " + std::to_string(size) +
                 " id bytes";
  }
  return findings.verdict(textOf(name) + ", built " + textOf(date) + ", component " + (id ? idString(*id) : "?") +
                          binaryText + "; the same through both interfaces and every component");
}

}  // namespace cadence::host::validate
