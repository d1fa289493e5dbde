// What every component of a module shares, process-wide: the factory
// EntryPoint asks for components and the class factory the components
// forward to, both set while the module loads. Tests replace it for a scope.
#pragma once

class IVelComponentFactory;
class IVelClassFactory;

struct VelComponentState {
  // Made at load and never destroyed; null only if its allocation gave no
  // object (EntryPoint then fails).
  IVelComponentFactory* componentFactory = nullptr;
  // Set at load; while it is null the class operations give empty answers.
  IVelClassFactory* classFactory = nullptr;
};

// The one state of this runtime copy.
VelComponentState& velComponentState();

// For tests: `replacement` in place of the state for a scope, the state put
// back as it was at its end.
class VelScopedComponentState {
 public:
  explicit VelScopedComponentState(const VelComponentState& replacement) : saved_(velComponentState()) {
    velComponentState() = replacement;
  }
  ~VelScopedComponentState() { velComponentState() = saved_; }
  VelScopedComponentState(const VelScopedComponentState&) = delete;
  VelScopedComponentState& operator=(const VelScopedComponentState&) = delete;

 private:
  VelComponentState saved_;
};
