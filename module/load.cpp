// What happens when the module is loaded, in this order: the identifiers
// (constant-initialised, so they exist before anything runs); the module's
// identity and the out-of-memory report, installed into its copy of the
// runtime; the component factory; the component's class-factory pointer, which creates the class
// table; the module's own statics (its item factories register themselves:
// the timer service's in cadencehost_mod); and last the load hook, which asks
// the system for no thread notices. Every module built on the runtime links
// this file (CadenceHost::module) and defines kVelModuleIdentity. The first three carry an early init priority so they come first
// whatever the link order; registration would be safe in any order anyway,
// since getDefaultClassFactory builds the class table on its first call.
#include <new>

#include "cadencehost/module_identity.h"
#include "core/class_factory.h"
#include "core/component.h"
#include "core/module_identity.h"
#include "module/module_statics.h"
#include "platform/system.h"
#include "report/out_of_memory_report.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifdef _WIN32
#define VEL_LOAD_ORDER(n)
#else
#define VEL_LOAD_ORDER(n) __attribute__((init_priority(n)))
#endif

IVelComponentFactory* g_velComponentFactory = nullptr;

namespace {

// Who the module is, and the out-of-memory report, before anything allocates.
struct IdentityInstaller {
  IdentityInstaller() {
    velInstallModuleIdentity(&kVelModuleIdentity);
    cadence::report::installOutOfMemoryReport();
  }
} installIdentity VEL_LOAD_ORDER(1000);

// The component factory; stays null if the allocation gives no object.
struct ComponentFactoryMaker {
  ComponentFactoryMaker() { g_velComponentFactory = new (std::nothrow) VelBaseComponentFact; }
} makeComponentFactory VEL_LOAD_ORDER(1001);

// The component's class factory, set at load (creates the class table).
struct ComponentClassFactorySetter {
  ComponentClassFactorySetter() { g_velComponentClassFactory = getDefaultClassFactory(); }
} setComponentClassFactory VEL_LOAD_ORDER(1002);

}  // namespace

#ifdef _WIN32

// The load hook, in the DLL's entry, which the runtime library calls after
// every static constructor: the module handle is the one the system passes.
// Every notification reports success.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) cadence::port::system().disableThreadNotices(instance);
  return TRUE;
}

#else

namespace {

// The module's handle as the system knows it: the base address it was
// mapped at (what a module handle is on Windows).
void* moduleHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&moduleHandle), &info) == 0) return nullptr;
  return info.dli_fbase;
}

// The load hook. Without a priority it runs after every prioritised static
// and after the statics of the files linked before this one.
struct LoadHook {
  LoadHook() { cadence::port::system().disableThreadNotices(moduleHandle()); }
} loadHook;

}  // namespace

#endif
