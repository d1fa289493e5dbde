// The module a check examines, opened as a host opens it, and the two hosts
// a check installs on it (with the reference host's services, with none),
// which record what their hooks are given. They live until the process ends:
// the module may call its host while it is torn down at exit.
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

  // Asks `services` for what the module looks up (null: offers nothing).
  explicit ValidationHost(IVelHost* services) : services_(services) {}

  int32_t getService(const VelCString& name, void** slot) override;
  char getTestStatus() override { return kTestStatus; }
  void addRefHook(int32_t* counter) override;
  bool releaseRefHook(int32_t* counter) override;

  // While false the hooks only record (release answers false): a module
  // that also counts by itself shows a change.
  bool counting = true;
  std::map<int32_t*, int> addRefCalls;
  std::map<int32_t*, int> releaseRefCalls;
  std::vector<std::string> asked;  // service names, each once, in order

 protected:
  ~ValidationHost() = default;

 private:
  IVelHost* services_;
};

ValidationHost& hostWithServices();
ValidationHost& hostWithoutServices();

class ModuleUnderTest {
 public:
  // Opens the library for good and finds EntryPoint, or the reason.
  explicit ModuleUnderTest(const QString& path);

  bool opened() const { return entryPoint_ != nullptr; }
  const std::string& reason() const { return reason_; }
  VelEntryPointFn entryPoint() const { return entryPoint_; }

  // A new component from EntryPoint (the version is the entry-point check's),
  // or null with the reason.
  IVelComponent* newComponent(std::string* reason) const;
  // A new component with `host` installed and the host's reference taken.
  IVelComponent* startComponent(IVelHost* host, std::string* reason) const;

 private:
  VelEntryPointFn entryPoint_ = nullptr;
  std::string reason_;
};

// The component's internal view, or null.
IVelCompInternal* internalOf(IVelComponent* component);

// The module opened and a component started on `host` with its internal
// view (ok()), else the reason. Holds the host's reference until release().
struct StartedComponent {
  StartedComponent(const QString& path, IVelHost* host);
  ~StartedComponent() { release(); }
  StartedComponent(const StartedComponent&) = delete;
  StartedComponent& operator=(const StartedComponent&) = delete;

  bool ok() const { return internal != nullptr; }
  void release();

  ModuleUnderTest module;
  std::string reason;
  IVelComponent* component = nullptr;
  IVelCompInternal* internal = nullptr;
};

// Enough classes for any real module: a walk longer than this never ends.
inline constexpr size_t kMaxWalkedClasses = 4096;

// The ids the class listing walks, first to last, at most `limit`.
std::vector<VelID> walkClassIds(IVelCompInternal* internal, size_t limit);

// Texts for reasons.
std::string textOf(const char* text);  // "(null)" for null
std::string quoted(const std::string& text);
std::string idString(const VelID& id);

}  // namespace cadence::host::validate
