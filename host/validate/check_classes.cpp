// The checks of the class listing and of the instances createInstance makes.
#include <set>
#include <string>

#include "validate/checks.h"
#include "validate/module_under_test.h"

namespace cadence::host::validate {

// No module registers this id.
constexpr VelID kUnknownClassId(0x0BADC1A5u, 0x5EEDu, 0x4A11u, 0x9C, 0x3D, 0x51, 0x7E, 0x02, 0x6B, 0xF4, 0x88);

Verdict checkClassListing(const CheckSubject& subject) {
  StartedComponent started(subject.modulePath, &hostWithServices());
  if (!started.ok()) return Verdict{false, started.reason};
  IVelCompInternal* internal = started.internal;
  Findings findings;
  const uint32_t count = internal->getClassCount();
  const std::vector<VelID> ids = walkClassIds(internal, kMaxWalkedClasses + 1);
  if (ids.size() > kMaxWalkedClasses) {
    findings.fail("getNextClassId never ends");
  } else if (ids.size() != count) {
    findings.fail("getClassCount says " + std::to_string(count) + ", the walk with getFirstClassId and " +
                  "getNextClassId gives " + std::to_string(ids.size()));
  }
  std::set<std::string> unique;
  std::string names;
  for (const VelID& id : ids) {
    if (!unique.insert(idString(id)).second) findings.fail("the walk gives " + idString(id) + " twice");
    const char* name = internal->getClassNameOf(id);
    if (!name || !*name) findings.fail("getClassNameOf(" + idString(id) + ") gives no name");
    if (names.size() < 200) names += (names.empty() ? "" : ", ") + textOf(name) + " " + idString(id);
  }
  if (!ids.empty()) {
    VelID again;
    if (!internal->getFirstClassId(again) || again != ids.front()) {
      findings.fail("a second getFirstClassId does not start the walk over");
    }
  }
  if (internal->getClassNameOf(kUnknownClassId)) findings.fail("getClassNameOf an unknown id gives a name");
  return findings.verdict(std::to_string(ids.size()) + (ids.size() == 1 ? " class" : " classes") +
                          (ids.empty() ? std::string() : ": " + names) +
                          "; the count agrees with the walk, ids unique, a name for each");
}

Verdict checkClassInstances(const CheckSubject& subject) {
  StartedComponent started(subject.modulePath, &hostWithServices());
  if (!started.ok()) return Verdict{false, started.reason};
  IVelComponent* component = started.component;
  Findings findings;
  std::string summary;
  for (const VelID& id : walkClassIds(started.internal, kMaxWalkedClasses)) {
    const std::string name = textOf(started.internal->getClassNameOf(id));
    const std::string which = name + " " + idString(id) + ": ";
    IVelUnknown* object = nullptr;
    const uint32_t status = component->createInstance(id, &object);
    if (!object) {
      findings.fail(which + "createInstance gave no object (status " + std::to_string(status) + ")");
      continue;
    }
    if (status == kVelCreateUnknownClass) findings.fail(which + "createInstance gave status 0 with an object");
    const int32_t count = object->getRefCount();
    IVelUnknown* again = nullptr;
    component->createInstance(id, &again);
    if (again == object && object->getRefCount() != count) {
      findings.fail(which + "each createInstance leaves a reference on the object (count " + std::to_string(count) +
                    ", then " + std::to_string(object->getRefCount()) + "): the caller takes its own");
    } else if (again != object && (count != 0 || (again && again->getRefCount() != 0))) {
      findings.fail(which + "a new object arrives with count " + std::to_string(count) +
                    ", expected 0 (the caller takes the first reference)");
    }
    if (again == object && status != kVelCreatedSingleton) {
      findings.fail(which + "hands out one shared object with status " + std::to_string(status) +
                    ": a shared object's status is kVelCreatedSingleton (2)");
    } else if (again != object && status != kVelCreatedNew) {
      findings.fail(which + "makes a new object with status " + std::to_string(status) +
                    ": a new object's status is kVelCreatedNew (1)");
    }
    if (textOf(object->getClassName()) != name) {
      findings.fail(which + "the object's getClassName is " + quoted(textOf(object->getClassName())));
    }
    void* part = nullptr;
    object->queryInterface(name.c_str(), &part);
    if (!part) findings.fail(which + "the object does not answer its class name");
    if (summary.size() < 200) {
      summary += (summary.empty() ? "" : ", ") + name + " status " + std::to_string(status) +
                 (again == object ? " (one shared object)" : " (a new object each)");
    }
    // What a host does with what it keeps: a reference, given back at the
    // end (which frees a new object).
    object->addRef();
    object->releaseRef();
    if (again && again != object) {
      again->addRef();
      again->releaseRef();
    }
  }
  IVelUnknown* untouched = reinterpret_cast<IVelUnknown*>(&untouched);
  const uint32_t unknownStatus = component->createInstance(kUnknownClassId, &untouched);
  if (unknownStatus != kVelCreateUnknownClass || untouched != reinterpret_cast<IVelUnknown*>(&untouched)) {
    findings.fail("createInstance of an unknown id gave status " + std::to_string(unknownStatus) +
                  (untouched != reinterpret_cast<IVelUnknown*>(&untouched) ? " and wrote the output" : ""));
  }
  return findings.verdict((summary.empty() ? std::string("no classes") : summary) +
                          "; no reference for the caller, each answers its class name; an unknown id: status 0, "
                          "output untouched");
}

}  // namespace cadence::host::validate
