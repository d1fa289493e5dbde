// The default class factory over the class table, and the registration of
// item factories.
#include "core/class_factory.h"

#include "base/process_wide.h"

// ---- default class factory ------------------------------------------------

uint32_t VelDefaultClassFactory::createInstance(const VelID& classId, IVelUnknown** object) {
  if (!object) return 0;
  VelItemFactory* factory = table_.find(classId);
  if (!factory) return 0;
  uint32_t status = 0;
  *object = factory->createItem(&status);
  return status;
}

uint32_t VelDefaultClassFactory::getClassCount() { return table_.entryCount(); }

bool VelDefaultClassFactory::getFirstClassId(VelID& out) { return table_.first(out); }

bool VelDefaultClassFactory::getNextClassId(VelID& out) { return table_.next(out); }

const char* VelDefaultClassFactory::getClassNameOf(const VelID& classId) {
  VelItemFactory* factory = table_.find(classId);
  return factory ? factory->getItemName() : nullptr;
}

void VelDefaultClassFactory::registerItemFactory(VelItemFactory* factory) {
  if (!factory) return;
  table_.registerFactory(factory->classId(), factory);
}

VelDefaultClassFactory* getDefaultClassFactory() {
  // Built on the first call (item factories may register before anything
  // else asks), kept for the life of the process.
  static cadence::NoDestructor<VelClassTable> table;
  static cadence::NoDestructor<VelDefaultClassFactory> factory(*table);
  return factory.get();
}

// ---- item factories -------------------------------------------------------

VelItemFactory::VelItemFactory(const char* className, const void* info, const VelID& classId)
    : VelItemFactory(className, info, classId, *getDefaultClassFactory()) {}

VelItemFactory::VelItemFactory(const char* className, const void* info, const VelID& classId,
                               VelDefaultClassFactory& registerWith)
    : className_(className), info_(info), classId_(classId) {
  registerWith.registerItemFactory(this);
}
