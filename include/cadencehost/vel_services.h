// The host-side services: implemented by a host, looked up by the module by
// name through IVelHost::getService. Each derives virtually from IVelUnknown;
// kInterfaceName is the name the module asks for, and the host writes a
// pointer of exactly that interface type into the slot. Every service is
// optional: without it the module falls back as said at each interface.
//
// The module takes one reference on a service it is handed and gives it back
// when it is done: at once for those it looks up at each use (the error
// service, the data store, the renderer, the assertion handler, the
// translator service and a host's pool when it asks again), at the module's
// teardown at process exit for those it keeps (the memory manager, the
// directory service, the memory checker, the translator, and the host's
// bucket memory pool once it runs on it). A host keeps every service object
// alive until the process ends.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"

struct VelString;
struct VelBlockArray;
class IVelTranslator;

// Shows the module's messages: the out-of-memory notice when the data store
// says "Memory/UseErrorService" (instead of the system's message box), and
// the self-test's messages (IVelCompInternal::runTests).
class IVelErrorService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelErrorService";
  // `message`: the text, UTF-16, valid during the call only (copy it to
  // keep it). `severity`: points at the module's value 1, for you to read;
  // the module does not read it afterwards. `details`: the module's empty
  // array. Return when the message has been shown; the process may be about
  // to end (out of memory), so do not allocate much.
  virtual void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) = 0;
};

// The host's configuration, read by the module at each use (never cached).
class IDataStore : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IDataStore";
  // The keys the module reads, each at the moment of use.
  static constexpr const char* kLogsDirectoryKey = "Directories/Logs Directory";  // where memory.log goes
  static constexpr const char* kTempDirectoryKey = "Directories/Temp Directory";  // where spill files go
  static constexpr const char* kUseErrorServiceKey = "Memory/UseErrorService";    // notice through the error service
  // The boolean under `key` (non-zero true), or `defaultValue` when there is
  // none. The module asks for kUseErrorServiceKey with default 0.
  virtual int32_t getBool(const char* key, int32_t defaultValue) = 0;
  // The text under `key` (a directory path, UTF-16), or an empty string when
  // there is none. `flags` is always 0 from the module and carries nothing.
  // The reference must stay valid until the module's next call into this
  // store: the module copies the string at once. Return a string you keep
  // (a member, or one per key), never a temporary.
  virtual const VelString& getString(const char* key, int32_t flags) = 0;
};

// Lets the module pause the host's drawing around the out-of-memory notice.
class IGfxRenderer : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IGfxRenderer";
  // Called before the notice shows, then resumeRendering after it, once each;
  // the results are ignored (return 0).
  virtual int32_t suspendRendering() = 0;
  virtual int32_t resumeRendering() = 0;
};

// Told when one of guarded allocation's internal checks fails; without it
// the process ends with status 255 there.
class IVelAssertHandlerCB : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelAssertHandlerCB";
  // The failed expression, the source name (".\xalrealloc") and the line;
  // the texts are valid during the call. On return the module carries on.
  virtual void assertionFailed(const char* expression, const char* file, int32_t line) = 0;
};

// The system's memory figures for memory.log, instead of the module's own.
// Looked up again at each report until the host offers it; then kept.
class IMemChecker : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IMemChecker";
  // False: the module reads the figures itself (and memoryFigures is not
  // called).
  virtual bool suppliesFigures() = 0;
  // Writes free and total physical memory and free and total swap, each in
  // units of `unit` bytes (the module passes 1024, so KiB); a null pointer
  // is an output not wanted. The result is passed back to the module's
  // caller and not interpreted; return 0.
  virtual int32_t memoryFigures(int64_t* systemFree, int64_t* systemTotal, int64_t* swapFree, int64_t* swapTotal,
                                int32_t unit) = 0;
};

namespace VelMM {
// The host's memory manager: asked to give memory back when an allocation
// fails, and for the figures in memory.log. Looked up once, at the module's
// first allocation that needs it, and kept.
class IVelMManager : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelMManager";
  // The unit the manager counts in: 24 KiB.
  static constexpr int32_t kUnitBytes = 24 * 1024;
  // Give memory back (one unit) and answer true when the failed
  // allocation is worth retrying; false when there is nothing more to give
  // (then it is not asked again during that allocation). Called while an
  // allocation is failing: allocate nothing.
  virtual bool freeOneUnit() = 0;
  // The figures of memory.log, each a count of units.
  virtual int32_t coreLimit() = 0;
  virtual int32_t swapLimit() = 0;
  virtual int32_t swapNow() = 0;
  virtual int32_t coreNow() = 0;
};
}  // namespace VelMM

// The host's directories. Looked up once and kept.
class IVelDirService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelDirService";
  // The one directory name the module asks for.
  static constexpr const char* kTempDirectoryName = "temp";
  // The path of the directory called `name` (UTF-16, no trailing separator
  // needed), or an empty string. The module copies it; keep the string
  // alive at least until your next call (a member, never a temporary).
  virtual const VelString& directoryFor(const char* name) = 0;
};

// Hands the module a translator for its user-visible texts (the
// out-of-memory notice); without it the module asks for "IVelTranslator",
// and without that it passes its English texts through unchanged.
class IVelTranslatorService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelTranslatorService";
  virtual IVelTranslator* defaultTranslator() = 0;  // never called by the module
  // The translator for the module whose component id is `*component` (the
  // address IVelCompInternal::getComponentId gives), or null. No reference
  // for the module: it takes its own and keeps it until exit.
  virtual IVelTranslator* getTranslatorFor(const VelID* component) = 0;
};
