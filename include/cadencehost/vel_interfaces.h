// The module-side interfaces a host calls: the component, its internal view,
// the binary object, the shutdown listener, and the test service hosts pass in.
// None of their operations hands the caller a reference: createInstance and
// queryInterface give borrowed pointers, and whoever keeps one calls addRef.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"

class IVelHost;
class IVelClcBinary;
class IVelTestService;

// createInstance's status: 0 when no class is registered under the identifier
// (the output is left alone); an item factory answers 1 for an object made
// anew for this request, 2 when it hands out its one shared instance (the
// timer service does).
constexpr uint32_t kVelCreateUnknownClass = 0;
constexpr uint32_t kVelCreatedNew = 1;
constexpr uint32_t kVelCreatedSingleton = 2;

// The component EntryPoint hands over (class "VelBaseComponent"; it answers
// "IVelComponent" and "IVelCompInternal" and lists no names). Each EntryPoint
// call makes a new one with count 0; the host takes its reference after
// setHost and releases it at shutdown. Every component of a module shares
// the module's process-wide state (its host, its classes).
class IVelComponent : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelComponent";
  // The reserved slots keep the table's shape: hosts call the later
  // operations by position.

  // Stores `host` as the module's g_host (for every component of the
  // module): from then on every addRef and releaseRef in the module goes
  // through the host's hooks, and the module can look services up. Call it
  // once, before taking your first reference. No reference is taken on the
  // host; it must outlive the module.
  virtual void setHost(IVelHost* host) = 0;
  // Does nothing.
  virtual void reserved(void*, void*, void*) = 0;
  // Creates (or hands out) an instance of the class registered under
  // `classId` into *object, as its IVelUnknown part, and returns the class's
  // status: kVelCreatedNew (1) for a new object, kVelCreatedSingleton (2) for
  // the one shared instance of a singleton class (the timer service). No reference for the caller:
  // addRef what you keep. An id no class is registered under returns
  // kVelCreateUnknownClass (0) and leaves *object as it was. List the ids
  // with IVelCompInternal.
  virtual uint32_t createInstance(const VelID& classId, IVelUnknown** object) = 0;
  // The module's build date ("2011-10-27 13:41" for cadencehost_mod): a
  // literal of the module, the same text IVelCompInternal::getBuildDate gives.
  virtual const char* getBuildDate() = 0;
  // The module's binary object (class "VelClcBinary"), the same object on
  // every call and from every component. It lives in the module's static
  // storage until the module is unloaded: no reference for the caller, and
  // never release it below the references you took yourself.
  virtual IVelClcBinary* getBinary() = 0;
};

// The component's other view, reached with queryInterface
// (IVelCompInternal::kInterfaceName) on the component: the module's identity
// and the listing of its classes.
class IVelCompInternal : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelCompInternal";
  // Do nothing.
  virtual void reserved1() = 0;
  virtual void reserved2() = 0;
  // The component identifier ({E6BE9F43-F2E6-4917-930E-F724B2DE29F2} for
  // cadencehost_mod), always at the same address: a process-wide object of
  // the module (it is also what the module asks a host's translator service
  // for, IVelTranslatorService::getTranslatorFor).
  virtual const VelID* getComponentId() = 0;
  // The module's name ("cadencehost_mod"), a literal of the module.
  virtual const char* getModuleName() = 0;
  // The same text as IVelComponent::getBuildDate.
  virtual const char* getBuildDate() = 0;
  // The number of classes the module can create (1 for cadencehost_mod).
  // The listing: getFirstClassId, then getNextClassId until it answers
  // false, gives each class id once, in no particular order:
  //   VelID id;
  //   for (bool more = internal->getFirstClassId(id); more; more = internal->getNextClassId(id))
  //     std::printf("%s\n", internal->getClassNameOf(id));
  // The walk's cursor is one, process-wide: do not interleave two walks.
  virtual uint32_t getClassCount() = 0;
  // Starts the walk over: false when the module has no class, else the
  // first id in `out` and true.
  virtual bool getFirstClassId(VelID& out) = 0;
  // The next id in `out` and true, or false at the end (`out` then left as
  // it was); false too when no walk was started.
  virtual bool getNextClassId(VelID& out) = 0;
  // The class name registered under `classId` ("TimerService"), a literal
  // of the module, or null for an id no class is registered under. An
  // instance's getClassName answers the same name.
  virtual const char* getClassNameOf(const VelID& classId) = 0;
  // Always true.
  virtual bool isValid() = 0;
  // The component's self-test. With a test service: calls its runTest for
  // each entry of the module's test list (cadencehost_mod has none). With
  // null: reports "Unable to get test service" and then the host's
  // getTestStatus character through the host's "IVelErrorService" (nothing
  // when the host has none); call it so only while a host is set. A call
  // made from inside a report returns at once. No reference is kept on the
  // service.
  virtual void runTests(IVelTestService* service) = 0;
};

// The module's binary object: its 16-byte identifier. Class "VelClcBinary";
// answers and lists "VelClcBinary" and "IVelClcBinary".
class IVelClcBinary : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelClcBinary";
  // The binary format's version: 1.
  virtual uint32_t getBinaryVersion() = 0;
  // The first identifier byte (cadencehost_mod: b5 e2 61 dc 48 5e f4 e7 9f
  // 8e 0a db 71 f7 45 90); the object owns them, valid while the module is
  // loaded.
  virtual const uint8_t* getBinaryId() = 0;
  // The number of identifier bytes: 16.
  virtual uint64_t getBinaryIdSize() = 0;
};

// Told once when the host shuts down; the timer service stops every timer
// (it reaches it through queryInterface on the service). The timers stay
// registered: remove them with ITimerServiceV2::removeTimer.
class IShutdownListener : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IShutdownListener";
  virtual void onShutdown() = 0;
};

// Implemented by a host that runs the component's self-test
// (IVelCompInternal::runTests).
class IVelTestService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelTestService";
  // Runs one test of the module's list; `leadingValue` identifies it.
  virtual void runTest(intptr_t leadingValue) = 0;
};
