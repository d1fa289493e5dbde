// The host-side services: implemented by a host, looked up by the module by
// name through IVelHost::getService. Each derives virtually from IVelUnknown;
// kInterfaceName is the name the module asks for, and the host writes a
// pointer of exactly that interface type into the slot.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"

struct VelString;
struct VelBlockArray;
class IVelTranslator;

class IVelErrorService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelErrorService";
  virtual void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) = 0;
};

class IDataStore : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IDataStore";
  // The keys the module reads, each at the moment of use.
  static constexpr const char* kLogsDirectoryKey = "Directories/Logs Directory";  // where memory.log goes
  static constexpr const char* kTempDirectoryKey = "Directories/Temp Directory";  // where spill files go
  static constexpr const char* kUseErrorServiceKey = "Memory/UseErrorService";    // notice through the error service
  virtual int32_t getBool(const char* key, int32_t defaultValue) = 0;
  virtual const VelString& getString(const char* key, int32_t flags) = 0;
};

class IGfxRenderer : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IGfxRenderer";
  virtual int32_t suspendRendering() = 0;
  virtual int32_t resumeRendering() = 0;
};

class IVelAssertHandlerCB : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelAssertHandlerCB";
  virtual void assertionFailed(const char* expression, const char* file, int32_t line) = 0;
};

class IMemChecker : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IMemChecker";
  virtual bool suppliesFigures() = 0;
  virtual int32_t memoryFigures(int64_t* systemFree, int64_t* systemTotal, int64_t* swapFree,
                                int64_t* swapTotal, int32_t unit) = 0;
};

namespace VelMM {
class IVelMManager : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelMManager";
  virtual bool freeOneUnit() = 0;
  virtual int32_t coreLimit() = 0;
  virtual int32_t swapLimit() = 0;
  virtual int32_t swapNow() = 0;
  virtual int32_t coreNow() = 0;
};
}  // namespace VelMM

class IVelDirService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelDirService";
  // The one directory name the module asks for.
  static constexpr const char* kTempDirectoryName = "temp";
  virtual const VelString& directoryFor(const char* name) = 0;
};

class IVelTranslatorService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelTranslatorService";
  virtual IVelTranslator* defaultTranslator() = 0;  // never called by the module
  virtual IVelTranslator* getTranslatorFor(const VelID* component) = 0;
};
