// Opening the module under test and the hosts installed on it.
#include "validate/module_under_test.h"

#include <QVariantMap>

#include "cadencehost/vel_cstring.h"
#include "commands.h"
#include "host_services.h"
#include "module_loader.h"
#include "shared_count.h"

namespace cadence::host::validate {

int32_t ValidationHost::getService(const VelCString& name, void** slot) {
  const std::string askedName = textOf(name.text);
  bool seen = false;
  for (const std::string& earlier : asked) seen = seen || earlier == askedName;
  if (!seen) asked.push_back(askedName);
  return services_ ? services_->getService(name, slot) : 0;
}

void ValidationHost::addRefHook(int32_t* counter) {
  ++addRefCalls[counter];
  if (counting) incrementShared(counter);
}

bool ValidationHost::releaseRefHook(int32_t* counter) {
  ++releaseRefCalls[counter];
  if (!counting) return false;
  return decrementSharedToZero(counter);
}

ValidationHost& hostWithServices() {
  static ValidationHost* host = new ValidationHost(&installReferenceHost(QVariantMap()));
  return *host;
}

ValidationHost& hostWithoutServices() {
  static ValidationHost* host = new ValidationHost(nullptr);
  return *host;
}

ModuleUnderTest::ModuleUnderTest(const QString& path) {
  // A module of the other compiler family is never loaded: its objects read
  // wrongly here, and the checks would crash rather than report.
  QString why;
  entryPoint_ = openEntryPoint(path, &why);
  if (!entryPoint_) reason_ = "not loaded: " + std::string(why.toUtf8().constData());
}

IVelComponent* ModuleUnderTest::newComponent(std::string* reason) const {
  uint32_t version = 0;
  IVelComponent* component = nullptr;
  const int32_t status = entryPoint_(&version, &component);
  if (status == kVelEntryPointSucceeded && component) return component;
  *reason = "EntryPoint returned " + std::to_string(status) + (component ? " and a component" : " and no component");
  return nullptr;
}

IVelComponent* ModuleUnderTest::startComponent(IVelHost* host, std::string* reason) const {
  IVelComponent* component = newComponent(reason);
  if (!component) return nullptr;
  component->setHost(host);
  component->addRef();
  return component;
}

IVelCompInternal* internalOf(IVelComponent* component) {
  void* part = nullptr;
  component->queryInterface(IVelCompInternal::kInterfaceName, &part);
  return static_cast<IVelCompInternal*>(part);
}

StartedComponent::StartedComponent(const QString& path, IVelHost* host) : module(path), reason(module.reason()) {
  if (module.opened()) component = module.startComponent(host, &reason);
  if (component) internal = internalOf(component);
  if (component && !internal) {
    release();
    reason = "the component does not answer 'IVelCompInternal'";
  }
}

void StartedComponent::release() {
  if (component) component->releaseRef();
  component = nullptr;
  internal = nullptr;
}

std::vector<VelID> walkClassIds(IVelCompInternal* internal, size_t limit) {
  std::vector<VelID> ids;
  VelID id;
  for (bool more = internal->getFirstClassId(id); more && ids.size() < limit; more = internal->getNextClassId(id)) {
    ids.push_back(id);
  }
  return ids;
}

std::string textOf(const char* text) { return text ? std::string(text) : std::string("(null)"); }

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string idString(const VelID& id) { return idText(id).toUtf8().constData(); }

}  // namespace cadence::host::validate
