// Item factories: how a module makes its classes creatable. A static item
// factory registers its class with the module's class factory while the
// module loads; the host then lists the class through IVelCompInternal and
// creates it with IVelComponent::createInstance.
//
//   namespace {
//   VelSingletonTClassItemFactory<ClockService> clockFactory("ClockService", nullptr, kClockServiceClassId);
//   }
#pragma once

#include <cstdint>
#include <new>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_interfaces.h"
#include "cadencehost/vel_object.h"

class VelDefaultClassFactory;

// Creates the objects of one class. Constructing one registers it under
// `classId` with the module's class factory; a second factory under the same
// identifier replaces the first (the class count stays). `className` must be
// a literal (it is kept, not copied): it is what getClassNameOf answers and
// what the objects' getClassName must answer too. `info` is kept and handed
// back by getItemInfo; pass null.
class VelItemFactory {
 public:
  VelItemFactory(const char* className, const void* info, const VelID& classId);
  // Registers with `registerWith` instead (for tests of a private table).
  VelItemFactory(const char* className, const void* info, const VelID& classId, VelDefaultClassFactory& registerWith);
  VelItemFactory(const VelItemFactory&) = delete;
  VelItemFactory& operator=(const VelItemFactory&) = delete;
  virtual ~VelItemFactory() = default;

  // Called by createInstance, inside a call from the host. What an item
  // factory of one's own must do:
  // - return the object as its IVelUnknown part, without a reference for
  //   the caller: a new object has count 0 (the host takes the first), and
  //   a shared one keeps only the references already on it;
  // - write its status into *status when `status` is not null
  //   (createInstance always passes one; a factory called directly may get
  //   null): kVelCreatedNew for an object made for this request,
  //   kVelCreatedSingleton for a shared one; never kVelCreateUnknownClass;
  // - let no exception out: make objects with velNew<T>() below (out of
  //   memory ends the process through the out-of-memory report, as every
  //   allocation of the runtime does), and catch whatever else may throw.
  // A factory that makes a new object each time:
  //   IVelUnknown* createItem(uint32_t* status) override {
  //     if (status) *status = kVelCreatedNew;
  //     return static_cast<IVelUnknown*>(velNew<Counter>());
  //   }
  virtual IVelUnknown* createItem(uint32_t* status) = 0;
  // The class name given at construction.
  virtual const char* getItemName() { return className_; }
  // The `info` given at construction.
  virtual const void* getItemInfo() { return info_; }

  const VelID& classId() const { return classId_; }

 private:
  const char* className_;
  const void* info_;
  VelID classId_;
};

// A new T (default-constructed) for code the host calls: when memory runs
// out, the out-of-memory report and the end of the process instead of a
// std::bad_alloc through the host.
template <class T>
T* velNew() {
  try {
    return new T;
  } catch (const std::bad_alloc&) {
    velOutOfMemory(0);  // the failing request may be one of T's own: its size is not known here
  }
}

// A singleton class: creates one T (default-constructed) on the first
// request, keeps one reference on it for the life of the process (the
// instance is never destroyed, not even at unload), and hands the same object
// out with status kVelCreatedSingleton on every request. T derives from
// IVelUnknown (through its interfaces).
template <class T>
class VelSingletonTClassItemFactory : public VelItemFactory {
 public:
  using VelItemFactory::VelItemFactory;

  static constexpr uint32_t kStatusSingleton = kVelCreatedSingleton;

  IVelUnknown* createItem(uint32_t* status) override {
    if (!instance_) {
      T* created = velNew<T>();
      static_cast<IVelUnknown*>(created)->addRef();
      instance_ = created;
    }
    if (status) *status = kStatusSingleton;
    return static_cast<IVelUnknown*>(instance_);
  }

  // The instance, or null before the first request.
  T* instance() const { return instance_; }

 private:
  T* instance_ = nullptr;  // torn down with the factory without being released
};
