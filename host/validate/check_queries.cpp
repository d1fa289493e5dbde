// The queries check: the query rules (query_rules.h) on every object a host
// can reach: the component, its binary object and an instance of each class.
#include "validate/checks.h"
#include "validate/module_under_test.h"
#include "validate/object_layout.h"
#include "validate/query_rules.h"

namespace cadence::host::validate {

Verdict checkQueries(const CheckSubject& subject) {
  const ModuleUnderTest module(subject.modulePath);
  if (!module.opened()) return Verdict{false, module.reason()};
  std::string reason;
  IVelComponent* component = module.startComponent(&hostWithServices(), &reason);
  if (!component) return Verdict{false, reason};
  Findings findings;
  QueryRules rules(findings);
  rules.examine(ReachedObject{component, {IVelComponent::kInterfaceName, IVelCompInternal::kInterfaceName}, false});
  if (IVelClcBinary* binary = component->getBinary()) {
    rules.examine(ReachedObject{binary, {IVelClcBinary::kInterfaceName}, true});
  } else {
    findings.fail("getBinary gave null");
  }
  IVelCompInternal* internal = internalOf(component);
  if (subject.withInstances && internal) {
    for (const VelID& id : walkClassIds(internal, kMaxWalkedClasses)) {
      IVelUnknown* object = nullptr;
      component->createInstance(id, &object);
      if (!object) continue;  // the class-instances check reports it
      object->addRef();       // held while it is examined, as a host holds it
      rules.examine(ReachedObject{object, {}, true});
      object->releaseRef();
    }
  }
  component->releaseRef();
  std::string reached = std::to_string(rules.objects) + " objects";
  if (!subject.withInstances) reached += " (no instances: the class-instances check failed)";
  std::string traced = std::string("one IVelUnknown and one count through every part (read in the ") +
                       objectLayoutAbi() + " layout)";
  if (rules.untracedParts > 0) {
    traced += "; " + std::to_string(rules.untracedParts) +
              " parts not traced (no type information: built without RTTI?)";
  }
  return findings.verdict(reached + ": " + std::to_string(rules.answered) + " names answer exactly, " +
                          std::to_string(rules.nearMisses) + " near misses answer null, " + traced +
                          ", listings agree, stop sets empty them");
}

}  // namespace cadence::host::validate
