// The query rules on one object, and the check that applies them to every
// object a host can reach: the component, its binary object and an instance
// of each class.
#include "validate/query_rules.h"

#include <cctype>
#include <cstring>
#include <map>
#include <vector>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_interfaces.h"
#include "cadencehost/vel_translator.h"
#include "validate/module_under_test.h"
#include "validate/object_layout.h"

namespace cadence::host::validate {
namespace {

template <class I>
IVelUnknown* unknownVia(void* part) {
  return static_cast<IVelUnknown*>(static_cast<I*>(part));
}

struct KnownInterface {
  const char* name;
  IVelUnknown* (*toUnknown)(void* part);
};

constexpr KnownInterface kKnownInterfaces[] = {
    {IVelComponent::kInterfaceName, &unknownVia<IVelComponent>},
    {IVelCompInternal::kInterfaceName, &unknownVia<IVelCompInternal>},
    {IVelClcBinary::kInterfaceName, &unknownVia<IVelClcBinary>},
    {IShutdownListener::kInterfaceName, &unknownVia<IShutdownListener>},
    {IVelTranslator::kInterfaceName, &unknownVia<IVelTranslator>},
    {IBucketMemoryPool::kInterfaceName, &unknownVia<IBucketMemoryPool>},
    {Velmora::ITimerService::kInterfaceName, &unknownVia<Velmora::ITimerService>},
    {Velmora::ITimerServiceV2::kInterfaceName, &unknownVia<Velmora::ITimerServiceV2>},
    {Velmora::ITimer::kInterfaceName, &unknownVia<Velmora::ITimer>},
};

// The IVelUnknown part of the object as seen through `part`, the answer to a
// query for `interfaceName`, for a module built without type information;
// null when the name is not one of the contract's module-side interfaces.
IVelUnknown* unknownThroughInterface(const char* interfaceName, void* part) {
  for (const KnownInterface& known : kKnownInterfaces) {
    if (std::strcmp(known.name, interfaceName) == 0) return known.toUnknown(part);
  }
  return nullptr;
}

constexpr std::ptrdiff_t kNoRoot = -1;

// The one IVelUnknown inside sub-object `at` (itself, or among its bases),
// or kNoRoot when it holds none or two.
std::ptrdiff_t rootInside(const ObjectLayout& layout, std::size_t at) {
  std::ptrdiff_t root = kNoRoot;
  for (std::size_t i = at; i < layout.parts[at].end; ++i) {
    if (!layout.parts[i].isVelUnknown) continue;
    if (root != kNoRoot && root != layout.parts[i].offset) return kNoRoot;
    root = layout.parts[i].offset;
    if (i == at) break;
  }
  return root;
}

// The IVelUnknown sub-object that `part` reaches through its own bases (the
// part itself when it is one), or null when the layout cannot tell.
IVelUnknown* rootOf(const ObjectLayout& layout, const void* part) {
  if (layout.parts.empty() || !layout.whole) return nullptr;
  const std::ptrdiff_t offset = static_cast<const char*>(part) - layout.whole;
  // The sub-objects at the part's address nest (a class and its primary
  // bases); the innermost that holds one IVelUnknown is the part's class.
  std::ptrdiff_t root = kNoRoot;
  for (std::size_t i = 0; i < layout.parts.size(); ++i) {
    if (layout.parts[i].offset != offset) continue;
    const std::ptrdiff_t inside = rootInside(layout, i);
    if (inside != kNoRoot) root = inside;
  }
  if (root == kNoRoot) return nullptr;
  return reinterpret_cast<IVelUnknown*>(const_cast<char*>(layout.whole + root));
}

const char kNameNoObjectAnswers[] = "IVelNoSuchInterface";

// What answerTo gives for a slot left as it was.
char slotUntouched;
void* const kSlotUntouched = &slotUntouched;

// What a query for `name` leaves in a slot that held its own address, a value
// no answer can be.
void* answerTo(IVelUnknown* object, const char* name) {
  void* slot = &slot;
  object->queryInterface(name, &slot);
  return slot == static_cast<void*>(&slot) ? kSlotUntouched : slot;
}

std::string otherCase(const std::string& name) {
  std::string swapped = name;
  for (char& c : swapped) {
    const unsigned char u = static_cast<unsigned char>(c);
    c = static_cast<char>(std::isupper(u) ? std::tolower(u) : std::toupper(u));
  }
  return swapped;
}

}  // namespace

void QueryRules::examine(const ReachedObject& reached) {
  IVelUnknown* object = reached.object;
  const std::string className = textOf(object->getClassName());
  const std::string who = className + ": ";
  ++objects;
  if (!object->getClassName() || className.empty()) findings_.fail(who + "getClassName gives no name");
  const int32_t count = object->getRefCount();

  const NameListing listing = listNames(object);
  checkListing(who, className, listing, reached.mustList);
  std::set<std::string> names{className, IVelUnknown::kInterfaceName};
  for (const ListedName& listed : listing.names) names.insert(listed.name);
  names.insert(reached.contractNames.begin(), reached.contractNames.end());
  const Answers answers = checkAnswers(who, object, names, listing);
  checkNearMisses(who, object, names, answers);
  checkStopSet(who, object, listing);
  if (object->getRefCount() != count) {
    findings_.fail(who + "the queries changed its count from " + std::to_string(count) + " to " +
                   std::to_string(object->getRefCount()) + ": a query takes no reference");
  }
  checkOneCount(who, object, answers);
}

void QueryRules::checkListing(const std::string& who, const std::string& className, const NameListing& listing,
                              bool mustList) {
  if (listing.names.empty()) {
    if (mustList) findings_.fail(who + "lists no names when queried with a null name");
    return;
  }
  const ListedName& first = listing.names.front();
  if (!first.isClass || first.name != className || !first.owner.empty()) {
    findings_.fail(who + "the listing starts with " + quoted(first.name) + ", not its class name");
  }
  std::set<std::string> seen;
  for (size_t i = 0; i < listing.names.size(); ++i) {
    const ListedName& listed = listing.names[i];
    if (!seen.insert(listed.name).second) findings_.fail(who + "lists " + quoted(listed.name) + " twice");
    if (listed.name == IVelUnknown::kInterfaceName) findings_.fail(who + "lists 'IVelUnknown', which is never listed");
    if (i == 0) continue;
    if (listed.isClass) findings_.fail(who + "lists a second class name, " + quoted(listed.name));
    if (listed.owner != className) {
      findings_.fail(who + "lists " + quoted(listed.name) + " under " + quoted(listed.owner) + ", not its class");
    }
  }
  if (listing.stopped) findings_.fail(who + "an empty stop set stopped the listing");
  if (listing.classStack.size() != 1 || listing.classStack.front() != className) {
    findings_.fail(who + "the listing leaves " + std::to_string(listing.classStack.size()) +
                   " names on the class stack, expected its class name alone");
  }
}

QueryRules::Answers QueryRules::checkAnswers(const std::string& who, IVelUnknown* object,
                                             const std::set<std::string>& names, const NameListing& listing) {
  Answers answers;
  const void* whole = wholeObjectOf(object);
  for (const std::string& name : names) {
    void* part = answerTo(object, name.c_str());
    if (!part || part == kSlotUntouched) {
      bool listed = false;
      for (const ListedName& entry : listing.names) listed = listed || entry.name == name;
      findings_.fail(who + quoted(name) + " answers nothing" + (listed ? " though it is listed" : ""));
      continue;
    }
    ++answered;
    if (name == IVelUnknown::kInterfaceName && part != object) {
      findings_.fail(who + "'IVelUnknown' answers another part than its own IVelUnknown");
    } else if (wholeObjectOf(part) != whole) {
      findings_.fail(who + quoted(name) + " answers a part of another object");
    } else {
      answers[name] = part;
    }
  }
  return answers;
}

// Every part reaches the object's IVelUnknown (its virtual-base path in the
// compiler's layout), and a reference taken through it shows in the count
// read through every part.
void QueryRules::checkOneCount(const std::string& who, IVelUnknown* object, const Answers& answers) {
  const ObjectLayout layout = layoutOf(object);
  std::map<std::string, IVelUnknown*> roots;
  for (const auto& [name, part] : answers) {
    if (name == IVelUnknown::kInterfaceName) continue;
    IVelUnknown* root = rootOf(layout, part);
    if (!root) root = unknownThroughInterface(name.c_str(), part);
    if (root) {
      roots[name] = root;
    } else {
      ++untracedParts;
    }
  }
  std::map<std::string, int32_t> before;
  for (const auto& [name, root] : roots) before[name] = root->getRefCount();
  object->addRef();  // through "IVelUnknown": given back through it, it can never be the last
  for (const auto& [name, root] : roots) {
    const bool counted = root->getRefCount() == before[name] + 1;
    if (root != object || !counted) {
      findings_.fail(who + "through " + quoted(name) + " it has a second IVelUnknown, and a second count" +
                     (counted ? "" : " (a reference taken through 'IVelUnknown' does not show there)") + ": " +
                     quoted(name) + " must derive from IVelUnknown virtually ('public virtual IVelUnknown')");
    }
  }
  object->releaseRef();
}

void QueryRules::checkNearMisses(const std::string& who, IVelUnknown* object, const std::set<std::string>& names,
                                 const Answers& answers) {
  // Each miss with what it is near and the name it is near.
  struct Near {
    std::string text;
    std::string name;
  };
  std::map<std::string, Near> misses{
      {"", {"the empty name ''", ""}},
      {kNameNoObjectAnswers, {quoted(kNameNoObjectAnswers) + ", a name of no object", ""}}};
  for (const std::string& name : names) {
    if (name.size() > 1) {
      const std::string prefix = name.substr(0, name.size() - 1);
      misses.emplace(prefix, Near{quoted(prefix) + ", a prefix of " + quoted(name), name});
    }
    misses.emplace(name + "x", Near{quoted(name + "x") + ", longer than " + quoted(name), name});
    const std::string swapped = otherCase(name);
    misses.emplace(swapped, Near{quoted(swapped) + ", " + quoted(name) + " in another letter case", name});
  }
  for (const auto& [miss, near] : misses) {
    if (names.count(miss)) continue;
    ++nearMisses;
    void* part = answerTo(object, miss.c_str());
    if (part == kSlotUntouched) {
      findings_.fail(who + quoted(miss) + " leaves the slot as it was: a query sets it to null first");
    } else if (part) {
      // The exact name whose part answered: the one the miss is near, if it
      // is one of them, else the interfaces (the class name gives the same
      // part as the first base).
      std::vector<std::string> same;
      for (const auto& [name, exact] : answers) {
        if (exact == part) same.push_back(name);
      }
      const std::string className = textOf(object->getClassName());
      std::string answeredBy;
      for (const std::string& name : same) {
        if (name == near.name) {
          answeredBy = name;
          break;
        }
        if (name == className && same.size() > 1) continue;
        answeredBy += (answeredBy.empty() ? "" : " or ") + name;
      }
      if (answeredBy.empty()) answeredBy = "a part no exact name answers";
      findings_.fail(who + "answers " + near.text + "; names must match exactly: " + answeredBy + " answered");
    }
  }
}

void QueryRules::checkStopSet(const std::string& who, IVelUnknown* object, const NameListing& listing) {
  if (listing.names.empty()) return;
  const std::string stopName = listing.names.back().name;
  NameRecord stopped(std::vector<std::string>{stopName});
  stopped.list(object);
  NameListing afterStop = stopped.listing();
  stopped.list(object);  // a stopped record stays empty
  const NameListing afterAgain = stopped.listing();
  if (!afterStop.names.empty() || !afterStop.classStack.empty() || !afterStop.stopped || !afterAgain.names.empty()) {
    findings_.fail(who + "a stop set holding " + quoted(stopName) + " leaves " +
                   std::to_string(afterStop.names.size()) + " entries" +
                   (afterStop.stopped ? "" : " and no stopped flag") + ": it must empty the record for good");
  }
  NameRecord unrelated(std::vector<std::string>{kNameNoObjectAnswers});
  unrelated.list(object);
  if (unrelated.listing().names.size() != listing.names.size()) {
    findings_.fail(who + "a stop set of a name it does not list changes its listing");
  }
}

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
  std::string traced =
      std::string("one IVelUnknown and one count through every part (read in the ") + objectLayoutAbi() + " layout)";
  if (rules.untracedParts > 0) {
    traced +=
        "; " + std::to_string(rules.untracedParts) + " parts not traced (no type information: built without RTTI?)";
  }
  return findings.verdict(reached + ": " + std::to_string(rules.answered) + " names answer exactly, " +
                          std::to_string(rules.nearMisses) + " near misses answer null, " + traced +
                          ", listings agree, stop sets empty them");
}

}  // namespace cadence::host::validate
