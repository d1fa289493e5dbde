// How a module built on the kit meets the system's loader, the one place it
// does: VEL_MODULE_EXPORT marks its one export; VEL_LOAD_ORDER(n) puts a
// static of the kit before the module's own
// (a priority on POSIX; on Windows the link order does it), and
// VEL_DEFINE_LOAD_HOOK(hook) defines the load hook, which calls
// hook(moduleHandle) once the image's static constructors have run: from
// DllMain on process attach with the handle the system passes (DllMain
// reports success for every notification), elsewhere from a static
// constructor of the kit with the base address the image was mapped at.
#pragma once

#ifdef _WIN32

#include "platform/windows/windows_api.h"

// MSVC's linker exports what the kit's export list (.def) names; marking
// EntryPoint as well would redeclare the contract's plain declaration.
#ifdef _MSC_VER
#define VEL_MODULE_EXPORT
#else
#define VEL_MODULE_EXPORT __declspec(dllexport)
#endif
#define VEL_LOAD_ORDER(n)
#define VEL_DEFINE_LOAD_HOOK(hook)                                           \
  extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { \
    if (reason == DLL_PROCESS_ATTACH) hook(static_cast<void*>(instance));    \
    return TRUE;                                                             \
  }

#else

#include <dlfcn.h>

#define VEL_MODULE_EXPORT __attribute__((visibility("default")))
#define VEL_LOAD_ORDER(n) __attribute__((init_priority(n)))
#define VEL_DEFINE_LOAD_HOOK(hook)                                                                 \
  namespace {                                                                                      \
  void* velThisImage() {                                                                           \
    Dl_info info{};                                                                                \
    return dladdr(reinterpret_cast<const void*>(&velThisImage), &info) ? info.dli_fbase : nullptr; \
  }                                                                                                \
  /* Without a priority it runs after every prioritised static and after the */                    \
  /* statics of the files linked before this one. */                                               \
  struct VelLoadHook {                                                                             \
    VelLoadHook() { hook(velThisImage()); }                                                        \
  } velLoadHook;                                                                                   \
  }

#endif
