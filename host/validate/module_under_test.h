// The module a check examines, opened the way a host opens it (the system's
// loader, then EntryPoint by name), and the hosts a check installs on it:
// one that offers the reference host's services, one that offers none. Both
// record the counters their hooks are given. Everything here lives until the
// process ends: the module may call its host while it is torn down at exit.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <QString>

#include "cadencehost/entry_point.h"
#include "cadencehost/vel_host.h"
#include "cadencehost/vel_interfaces.h"

namespace cadence::host::validate {

class ValidationHost final : public IVelHost {
 public:
  static constexpr char kTestStatus = 'V';

  // Asks `services` for what the module looks up, or offers nothing when
  // it is null.
  explicit ValidationHost(IVelHost* services) : services_(services) {}

  int32_t getService(const VelCString& name, void** slot) override;
  char getTestStatus() override { return kTestStatus; }
  void addRefHook(int32_t* counter) override;
  bool releaseRefHook(int32_t* counter) override;

  // While false, the hooks record their counter and leave it alone (and the
  // release hook answers false): a module that counts by itself as well
  // shows a change.
  bool counting = true;
  std::map<int32_t*, int> addRefCalls;
  std::map<int32_t*, int> releaseRefCalls;
  std::vector<std::string> asked;  // service names, each once, in order

 protected:
  ~ValidationHost() = default;

 private:
  IVelHost* services_;
};

// The host offering the reference host's services, and the one offering
// none; each made on first use and never destroyed.
ValidationHost& hostWithServices();
ValidationHost& hostWithoutServices();

class ModuleUnderTest {
 public:
  // Opens the library and finds EntryPoint (opened() false with the reason).
  // The library stays loaded for the rest of the process.
  explicit ModuleUnderTest(const QString& path);

  bool opened() const { return entryPoint_ != nullptr; }
  const std::string& reason() const { return reason_; }
  VelEntryPointFn entryPoint() const { return entryPoint_; }

  // A new component from EntryPoint (status and object checked, the version
  // left to the entry-point check), or null with the reason.
  IVelComponent* newComponent(std::string* reason) const;
  // A new component with `host` installed and the host's reference taken.
  IVelComponent* startComponent(IVelHost* host, std::string* reason) const;

 private:
  VelEntryPointFn entryPoint_ = nullptr;
  std::string reason_;
};

// The component's internal view, or null.
IVelCompInternal* internalOf(IVelComponent* component);

// Enough classes for any real module: a walk longer than this never ends.
inline constexpr size_t kMaxWalkedClasses = 4096;

// The ids the class listing walks, first to last, at most `limit`.
std::vector<VelID> walkClassIds(IVelCompInternal* internal, size_t limit);

// Texts for reasons.
std::string textOf(const char* text);  // "(null)" for null
std::string quoted(const std::string& text);
std::string idString(const VelID& id);

}  // namespace cadence::host::validate
