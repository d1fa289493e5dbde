// Reference counting, without a host and through the host's hooks, and the
// module's work for a host that offers no service.
#include "name_listing.h"
#include "validate/checks.h"
#include "validate/module_under_test.h"

namespace cadence::host::validate {
namespace {

std::string countsText(const std::vector<int32_t>& counts) {
  std::string text;
  for (int32_t count : counts) text += (text.empty() ? "" : ", ") + std::to_string(count);
  return text;
}

// An instance of each class, with the reference a host takes on what it
// keeps; the caller gives the references back.
std::vector<IVelUnknown*> keepInstances(IVelComponent* component, IVelCompInternal* internal) {
  std::vector<IVelUnknown*> instances;
  for (const VelID& id : walkClassIds(internal, kMaxWalkedClasses)) {
    IVelUnknown* object = nullptr;
    component->createInstance(id, &object);
    if (!object) continue;  // the class-instances check reports it
    object->addRef();
    instances.push_back(object);
  }
  return instances;
}

void releaseAll(const std::vector<IVelUnknown*>& objects) {
  for (IVelUnknown* object : objects) object->releaseRef();
}

// One addRef and one releaseRef leave the count as it was.
void checkBalanced(const std::string& who, IVelUnknown* object, Findings& findings) {
  const int32_t before = object->getRefCount();
  object->addRef();
  const int32_t held = object->getRefCount();
  object->releaseRef();
  if (held != before + 1 || object->getRefCount() != before) {
    findings.fail(who + "addRef and releaseRef give counts " + countsText({before, held, object->getRefCount()}) +
                  ", expected " + countsText({before, before + 1, before}));
  }
}

// Without a host the module counts by itself: 0, 1, 2 (through the other
// interface: one count), 1, and the last release frees the component.
void checkLocalCounting(const ModuleUnderTest& module, bool withInstances, Findings& findings) {
  std::string reason;
  IVelComponent* component = module.newComponent(&reason);
  if (!component) return findings.fail(reason);
  IVelCompInternal* internal = internalOf(component);
  std::vector<int32_t> counts{component->getRefCount()};
  component->addRef();
  counts.push_back(component->getRefCount());
  if (internal) static_cast<IVelUnknown*>(internal)->addRef();
  counts.push_back(internal ? internal->getRefCount() : -1);
  component->releaseRef();
  counts.push_back(component->getRefCount());
  if (counts != std::vector<int32_t>{0, 1, 2, 1}) {
    findings.fail("without a host the component counts " + countsText(counts) +
                  " through addRef, addRef of its other interface and releaseRef; expected 0, 1, 2, 1");
  }
  if (withInstances && internal) {
    const std::vector<IVelUnknown*> instances = keepInstances(component, internal);
    for (IVelUnknown* object : instances)
      checkBalanced("without a host, " + textOf(object->getClassName()) + ": ", object, findings);
    releaseAll(instances);
  }
  component->releaseRef();
}

// With a host every addRef and releaseRef reaches its hooks with the count
// field of the object's IVelUnknown part, the field getRefCount reads; the
// module never counts by itself besides.
void checkHookCounting(const ModuleUnderTest& module, bool withInstances, Findings& findings) {
  std::string reason;
  IVelComponent* component = module.newComponent(&reason);
  if (!component) return findings.fail(reason);
  ValidationHost& host = hostWithServices();
  component->setHost(&host);
  IVelUnknown* unknown = component;
  int32_t* counter = &unknown->refCount;
  IVelCompInternal* internal = internalOf(component);

  component->addRef();
  if (internal) static_cast<IVelUnknown*>(internal)->addRef();
  const int expectedCalls = internal ? 2 : 1;
  if (host.addRefCalls[counter] != expectedCalls) {
    findings.fail("addRef reached the host's addRefHook with the object's counter " +
                  std::to_string(host.addRefCalls[counter]) + " times for " + std::to_string(expectedCalls) +
                  " calls (the hook gets the count field of the IVelUnknown part)");
  }
  if (component->getRefCount() != *counter || *counter != expectedCalls) {
    findings.fail("getRefCount reads " + std::to_string(component->getRefCount()) +
                  ", the counter the hooks got holds " + std::to_string(*counter));
  }
  host.counting = false;  // hooks that record and change nothing
  component->addRef();
  component->releaseRef();  // the hook answers false: the object stays
  host.counting = true;
  if (*counter != expectedCalls) {
    findings.fail("with a host the module changes the count by itself as well (" + std::to_string(expectedCalls) +
                  " became " + std::to_string(*counter) + " through hooks that count nothing)");
  }
  if (withInstances && internal) {
    const std::vector<IVelUnknown*> instances = keepInstances(component, internal);
    for (IVelUnknown* object : instances) {
      const std::string who = "through the hooks, " + textOf(object->getClassName()) + ": ";
      const int before = host.addRefCalls[&object->refCount];
      checkBalanced(who, object, findings);
      if (host.addRefCalls[&object->refCount] != before + 1) findings.fail(who + "addRef did not reach the hook");
    }
    releaseAll(instances);
  }
  if (internal) static_cast<IVelUnknown*>(internal)->releaseRef();
  component->releaseRef();  // the last: the hook answers true and the module frees it
  if (host.releaseRefCalls[counter] != host.addRefCalls[counter]) {
    findings.fail("releaseRef reached the host's releaseRefHook " + std::to_string(host.releaseRefCalls[counter]) +
                  " times for " + std::to_string(host.addRefCalls[counter]) + " addRefs");
  }
}

}  // namespace

Verdict checkReferences(const CheckSubject& subject) {
  const ModuleUnderTest module(subject.modulePath);
  if (!module.opened()) return Verdict{false, module.reason()};
  Findings findings;
  checkLocalCounting(module, subject.withInstances, findings);  // first: no host is set yet
  checkHookCounting(module, subject.withInstances, findings);
  return findings.verdict(std::string("without a host: one count per object, 0 to 1 to 2 and back; through the "
                                      "host's hooks: the counter getRefCount reads, no counting of its own, "
                                      "balanced after release") +
                          (subject.withInstances ? "" : " (no instances: the class-instances check failed)"));
}

Verdict checkNoServices(const CheckSubject& subject) {
  ValidationHost& host = hostWithoutServices();
  StartedComponent started(subject.modulePath, &host);
  if (!started.ok()) return Verdict{false, started.reason};
  IVelComponent* component = started.component;
  IVelCompInternal* internal = started.internal;
  Findings findings;
  if (!internal->getModuleName() || !component->getBuildDate() || !internal->getComponentId()) {
    findings.fail("the identity is missing without services");
  }
  if (!component->getBinary()) findings.fail("getBinary gave null without services");
  int listed = 0;
  if (subject.withInstances) {
    const std::vector<IVelUnknown*> instances = keepInstances(component, internal);
    if (instances.size() != walkClassIds(internal, kMaxWalkedClasses).size()) {
      findings.fail("createInstance gave no object for a class without services");
    }
    for (IVelUnknown* object : instances) {
      for (const ListedName& name : listNames(object).names) {
        void* part = nullptr;
        object->queryInterface(name.name.c_str(), &part);
        ++listed;
      }
    }
    releaseAll(instances);
  }
  internal->runTests(nullptr);  // no test service: the module asks the host for its status
  started.release();
  std::string asked;
  for (const std::string& name : host.asked) asked += (asked.empty() ? "" : ", ") + name;
  return findings.verdict("identity, binary object, " +
                          (subject.withInstances ? std::to_string(listed) + " names of its instances"
                                                 : std::string("no instances (the class-instances check failed)")) +
                          " and runTests without a service offered; it asked for " +
                          (asked.empty() ? std::string("none") : asked));
}

}  // namespace cadence::host::validate
