// VelBaseComponent: host installation, class listing and creation through the
// class factory, identifiers and names, and the self-test run.
#include "core/component.h"

#include <cstring>

#include "base/process_wide.h"
#include "cadencehost/vel_host.h"
#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_query.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "core/binary.h"
#include "core/class_factory.h"
#include "core/module_identity.h"
#include "memory/xal_alloc.h"

VelComponentState& velComponentState() {
  static constinit VelComponentState state;
  return state;
}

namespace {

constexpr int32_t kTestListCapacity = 21;
constexpr int32_t kReportSeverity = 1;

bool runningTests = false;

// Clears the re-entry flag however runTests is left.
class RunningTestsScope {
 public:
  RunningTestsScope() { runningTests = true; }
  ~RunningTestsScope() { runningTests = false; }
  RunningTestsScope(const RunningTestsScope&) = delete;
  RunningTestsScope& operator=(const RunningTestsScope&) = delete;
};

// The self-test list, its zeroed storage from xalMalloc (not new[], so the
// array is never destroyed).
struct TestList {
  TestList() {
    void* block = nullptr;
    xalMalloc(&block, static_cast<int32_t>(sizeof(VelTestEntry*)), kTestListCapacity);
    std::memset(block, 0, sizeof(VelTestEntry*) * kTestListCapacity);
    array.data = static_cast<VelTestEntry**>(block);
    array.capacity = kTestListCapacity;
    array.count = 0;
  }
  VelArray<VelTestEntry*> array;
};

// Sends one message to the host's error service, when it offers one.
void reportToErrorService(const VelString& message) {
  SPtr<IVelErrorService> errors;
  if (!errors) return;
  int32_t severity = kReportSeverity;
  errors->reportError(message, &severity, velEmptyBlockArray());
}

}  // namespace

VelArray<VelTestEntry*>& velTestList() {
  static cadence::NoDestructor<TestList> list;
  return list->array;
}

bool velRunningTests() { return runningTests; }

// ---- IVelComponent --------------------------------------------------------

void VelBaseComponent::setHost(IVelHost* host) { g_host = host; }

uint32_t VelBaseComponent::createInstance(const VelID& classId, IVelUnknown** object) {
  if (IVelClassFactory* factory = velComponentState().classFactory) {
    return factory->createInstance(classId, object);
  }
  if (object) *object = nullptr;
  return 0;
}

const char* VelBaseComponent::getBuildDate() { return velModuleIdentity().buildDate; }

IVelClcBinary* VelBaseComponent::getBinary() { return velBinary(); }

// ---- IVelCompInternal -----------------------------------------------------

const VelID* VelBaseComponent::getComponentId() { return velModuleIdentity().componentId; }

const char* VelBaseComponent::getModuleName() { return velModuleIdentity().moduleName; }

uint32_t VelBaseComponent::getClassCount() {
  IVelClassFactory* factory = velComponentState().classFactory;
  return factory ? factory->getClassCount() : 0;
}

bool VelBaseComponent::getFirstClassId(VelID& out) {
  IVelClassFactory* factory = velComponentState().classFactory;
  return factory ? factory->getFirstClassId(out) : false;
}

bool VelBaseComponent::getNextClassId(VelID& out) {
  IVelClassFactory* factory = velComponentState().classFactory;
  return factory ? factory->getNextClassId(out) : false;
}

const char* VelBaseComponent::getClassNameOf(const VelID& classId) {
  IVelClassFactory* factory = velComponentState().classFactory;
  return factory ? factory->getClassNameOf(classId) : nullptr;
}

void VelBaseComponent::runTests(IVelTestService* service) {
  if (runningTests) return;
  RunningTestsScope running;

  if (service) {
    VelArray<VelTestEntry*>& list = velTestList();
    const int32_t count = list.count;  // read once, before the loop
    for (int32_t position = 1; position <= count; ++position) {
      if (VelTestEntry* entry = list.at(position)) service->runTest(entry->leadingValue);
    }
    return;
  }

  // No test service: tell the host through its error service, then report
  // the host's own test status character. Without a host there is nobody to
  // ask for either, so nothing happens.
  reportToErrorService(VelString("Unable to get test service"));
  IVelHost* host = g_host;
  if (!host) return;
  const VelString status(host->getTestStatus());
  reportToErrorService(status);
}

// ---- IVelUnknown ----------------------------------------------------------

void VelBaseComponent::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelComponent, IVelCompInternal>(this, kClassName, name, target, VelListing::none);
}

// ---- component factory ----------------------------------------------------

IVelComponent* VelBaseComponentFact::createComponent() { return new VelBaseComponent; }
