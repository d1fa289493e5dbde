// What happens when a module built on the kit loads (the module defines
// kVelModuleIdentity), in this order: the identifiers
// (constant-initialised, so they exist before anything runs); the module's
// identity and the out-of-memory report, installed into its copy of the
// runtime; the component factory; the component's class-factory pointer,
// which creates the class table; the module's own statics (its item
// factories register themselves); and last the load hook, which asks the
// system for no thread notices. The first three carry an early init priority
// so they come first whatever the link order; registration would be safe in
// any order anyway, since getDefaultClassFactory builds the class table on
// its first call.
#include <new>

#include "cadencehost/module_identity.h"
#include "core/class_factory.h"
#include "core/component.h"
#include "core/module_identity.h"
#include "platform/load_hook.h"
#include "platform/system.h"
#include "report/out_of_memory_report.h"

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
  ComponentFactoryMaker() { velComponentState().componentFactory = new (std::nothrow) VelBaseComponentFact; }
} makeComponentFactory VEL_LOAD_ORDER(1001);

// The component's class factory, set at load (creates the class table).
struct ComponentClassFactorySetter {
  ComponentClassFactorySetter() { velComponentState().classFactory = getDefaultClassFactory(); }
} setComponentClassFactory VEL_LOAD_ORDER(1002);

// The load hook: the module wants no thread notices.
void askForNoThreadNotices(void* module) { cadence::port::system().disableThreadNotices(module); }

}  // namespace

VEL_DEFINE_LOAD_HOOK(askForNoThreadNotices)

// What the kit's link options name (-u, /INCLUDE:), so that this file comes
// into every module from the kit's archive, one with an EntryPoint of its
// own included.
extern "C" const char cadencehost_module_load = 1;
