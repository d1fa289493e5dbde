// The host services the module looks up by name. Each derives virtually from
// IVelUnknown; serviceName() is the name passed to the host.
#pragma once

#include <cstdint>

#include "core/vel_id.h"
#include "core/vel_object.h"

struct VelString;
struct VelBlockArray;
class IVelTranslator;

class IVelErrorService : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IVelErrorService"; }
  virtual void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) = 0;
};

class IDataStore : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IDataStore"; }
  virtual int32_t getBool(const char* key, int32_t defaultValue) = 0;
  virtual const VelString& getString(const char* key, int32_t flags) = 0;
};

class IGfxRenderer : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IGfxRenderer"; }
  virtual int32_t suspendRendering() = 0;
  virtual int32_t resumeRendering() = 0;
};

class IVelAssertHandlerCB : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IVelAssertHandlerCB"; }
  virtual void assertionFailed(const char* expression, const char* file, int32_t line) = 0;
};

class IMemChecker : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IMemChecker"; }
  virtual bool suppliesFigures() = 0;
  virtual int32_t memoryFigures(int64_t* systemFree, int64_t* systemTotal, int64_t* swapFree,
                                int64_t* swapTotal, int32_t unit) = 0;
};

namespace VelMM {
class IVelMManager : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IVelMManager"; }
  virtual bool freeOneUnit() = 0;
  virtual int32_t coreLimit() = 0;
  virtual int32_t swapLimit() = 0;
  virtual int32_t swapNow() = 0;
  virtual int32_t coreNow() = 0;
};
}  // namespace VelMM

class IVelDirService : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IVelDirService"; }
  virtual const VelString& directoryFor(const char* name) = 0;
};

class IVelTranslatorService : public virtual IVelUnknown {
 public:
  static const char* serviceName() { return "IVelTranslatorService"; }
  virtual IVelTranslator* defaultTranslator() = 0;  // never called by the module
  virtual IVelTranslator* getTranslatorFor(const VelID* component) = 0;
};
