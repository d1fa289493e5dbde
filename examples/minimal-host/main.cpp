// A minimal host: loads the installed module, creates its timer service and
// two named timers, runs the Qt event loop for a second and prints how often
// each timer alerted.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>

#include <QCoreApplication>
#include <QTimer>

#include "cadencehost/sdk.h"

static_assert((QT_VERSION >> 16) == CADENCEHOST_QT_VERSION_MAJOR, "build the host with the module's Qt");

// The host object. It offers no services; the module then uses its own pool,
// its own translator and its defaults. Counting is plain: one thread.
class MinimalHost final : public IVelHost {
 public:
  int32_t getService(const VelCString&, void**) override { return 0; }
  char getTestStatus() override { return 'P'; }
  void addRefHook(int32_t* counter) override { ++*counter; }
  bool releaseRefHook(int32_t* counter) override { return --*counter == 0; }
};

// Counts its alerts. The timer holds one reference on it while registered.
class CountingListener final : public Velmora::ITimerListener {
 public:
  void alert() override { ++alerts; }
  void queryInterface(const char* name, void* target) override {
    velAnswerQuery<Velmora::ITimerListener>(this, "CountingListener", name, target);
  }
  const char* getClassName() override { return "CountingListener"; }
  int alerts = 0;
};

// The module's EntryPoint, through the system's loader (LoadLibraryW on
// Windows, dlopen elsewhere); the library is never closed.
VelEntryPointFn findEntryPoint(const char* path) {
#ifdef _WIN32
  std::wstring widePath(MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path, -1, widePath.data(), static_cast<int>(widePath.size()));
  HMODULE library = LoadLibraryW(widePath.c_str());
  return library ? reinterpret_cast<VelEntryPointFn>(GetProcAddress(library, kVelEntryPointName)) : nullptr;
#else
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  return library ? reinterpret_cast<VelEntryPointFn>(dlsym(library, kVelEntryPointName)) : nullptr;
#endif
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // Kept until exit: the module may call the host and its objects until then.
  static MinimalHost host;
  static CountingListener fastListener, slowListener;
  g_host = &host;  // this host's own copy of the runtime counts through it too
  // The host's own reference on each listener: a timer gives back the one it
  // took, and an object whose count reaches zero is deleted.
  fastListener.addRef();
  slowListener.addRef();

  const VelEntryPointFn entryPoint = findEntryPoint(MODULE_PATH);
  uint32_t version = 0;
  IVelComponent* component = nullptr;
  if (!entryPoint || entryPoint(&version, &component) != kVelEntryPointSucceeded || version != kVelInterfaceVersion) {
    std::fprintf(stderr, "cannot start %s: %s\n", MODULE_PATH, entryPoint ? "EntryPoint failed" : "cannot load it");
    return 3;
  }
  component->setHost(&host);  // before the first reference
  component->addRef();

  IVelUnknown* object = nullptr;  // borrowed: take a reference to keep it
  if (component->createInstance(kVelTimerServiceClassId, &object) != kVelCreatedSingleton) return 3;
  object->addRef();
  auto* timers = velQueryAs<Velmora::ITimerServiceV2>(object);

  // A literal outlives every timer, so it may be lent; the reused buffer may
  // not, so the service gets an owned copy of it.
  Velmora::ITimer* fast = timers->createTimer(VelCString("fast"));
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "slow-%d", 250);
  Velmora::ITimer* slow = timers->createTimer(VelCString::copyOf(buffer));
  std::strcpy(buffer, "overwritten");

  fast->addListener(&fastListener);
  slow->addListener(&slowListener);
  fast->start(100);  // nothing alerts before start
  slow->start(250);
  QTimer::singleShot(1000, &app, SLOT(quit()));
  app.exec();

  velQueryAs<IShutdownListener>(object)->onShutdown();  // stops every timer
  timers->removeTimer(VelCString("fast"));              // the registry's release frees the timer and its listeners
  timers->removeTimer(VelCString("slow-250"));
  object->releaseRef();
  component->releaseRef();

  std::printf("fast (100 ms): %d alerts\nslow-250 (250 ms): %d alerts\n", fastListener.alerts, slowListener.alerts);
  return fastListener.alerts > 0 && slowListener.alerts > 0 ? 0 : 1;
}
