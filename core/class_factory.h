// The default class factory the host reaches through the component; the
// item factories that register in it are in cadencehost/item_factory.h.
#pragma once

#include <cstdint>

#include "cadencehost/item_factory.h"
#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"
#include "core/class_table.h"

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
