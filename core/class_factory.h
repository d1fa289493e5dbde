// The default class factory the host reaches through the component, and the
// item factories that register in it (one per creatable class).
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"
#include "core/class_table.h"
#include "memory/guarded_new.h"

// The class factory the host reaches through the component.
class IVelClassFactory {
 public:
  virtual ~IVelClassFactory() = default;
  // 0 when nothing is registered under classId (object untouched); else the
  // item factory's status, with the new object in *object.
  virtual uint32_t createInstance(const VelID& classId, IVelUnknown** object) = 0;
  virtual uint32_t getClassCount() = 0;
  virtual bool getFirstClassId(VelID& out) = 0;
  virtual bool getNextClassId(VelID& out) = 0;
  virtual const char* getClassNameOf(const VelID& classId) = 0;
};

// Works on one class table: the process-wide one (getDefaultClassFactory) or
// a private one a test builds.
class VelDefaultClassFactory : public IVelClassFactory {
 public:
  explicit VelDefaultClassFactory(VelClassTable& table) : table_(table) {}

  // A null output pointer gets 0 and creates nothing.
  uint32_t createInstance(const VelID& classId, IVelUnknown** object) override;
  uint32_t getClassCount() override;
  bool getFirstClassId(VelID& out) override;
  bool getNextClassId(VelID& out) override;
  const char* getClassNameOf(const VelID& classId) override;

  void registerItemFactory(VelItemFactory* factory);
  VelClassTable& table() { return table_; }

 private:
  VelClassTable& table_;
};

// The process-wide class factory, created with its table on the first call
// and never destroyed.
VelDefaultClassFactory* getDefaultClassFactory();

// Creates the objects of one class. Constructing one registers it under its
// class identifier (with the default class factory unless one is given).
class VelItemFactory {
 public:
  VelItemFactory(const char* className, const void* info, const VelID& classId);
  VelItemFactory(const char* className, const void* info, const VelID& classId,
                 VelDefaultClassFactory& registerWith);
  VelItemFactory(const VelItemFactory&) = delete;
  VelItemFactory& operator=(const VelItemFactory&) = delete;
  virtual ~VelItemFactory() = default;

  // Returns the object (no reference for the caller) and writes a status.
  virtual IVelUnknown* createItem(uint32_t* status) = 0;
  virtual const char* getItemName() { return className_; }
  virtual const void* getItemInfo() { return info_; }

  const VelID& classId() const { return classId_; }

 private:
  const char* className_;
  const void* info_;
  VelID classId_;
};

// Creates one T on the first request, keeps one reference on it for good,
// and hands the same object out with status 2 every time.
template <class T>
class VelSingletonTClassItemFactory : public VelItemFactory {
 public:
  using VelItemFactory::VelItemFactory;

  static constexpr uint32_t kStatusSingleton = 2;

  IVelUnknown* createItem(uint32_t* status) override {
    if (!instance_) {
      // Called by the host: running out of memory here ends the process
      // through the report, never in an exception through the host.
      T* created = cadence::guard::failForGoodOnBadAlloc([] { return new T; });
      static_cast<IVelUnknown*>(created)->addRef();
      instance_ = created;
    }
    if (status) *status = kStatusSingleton;
    return static_cast<IVelUnknown*>(instance_);
  }

  T* instance() const { return instance_; }

 private:
  T* instance_ = nullptr;  // torn down with the factory without being released
};
