// The query rules, applied to one object a host can reach: names answer
// exactly (a prefix, a longer name or another letter case answers null, and
// a query that matches nothing sets the slot to null); every answer is a
// part of the same object, and each part reaches the one IVelUnknown that
// "IVelUnknown" answers, so that a reference shows in the count read through
// any part (an interface derived from IVelUnknown non-virtually brings a
// second IVelUnknown and a second count); no query
// takes a reference; the listing into a VelNameQuery agrees with what
// queries answer; a listed name in the stop set empties the record for good.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "cadencehost/vel_object.h"
#include "name_listing.h"
#include "validate/checks.h"

namespace cadence::host::validate {

struct ReachedObject {
  IVelUnknown* object;                     // held by the caller: the rules take and give back a reference
  std::vector<std::string> contractNames;  // what the contract says it answers
  bool mustList;                           // the component alone lists nothing
};

// Records each rule an object breaks in `findings`, and counts what it tried.
class QueryRules {
 public:
  explicit QueryRules(Findings& findings) : findings_(findings) {}

  void examine(const ReachedObject& reached);

  int objects = 0;
  int answered = 0;
  int nearMisses = 0;
  int untracedParts = 0;  // parts whose IVelUnknown the layout could not tell

 private:
  using Answers = std::map<std::string, void*>;  // each name that answered, with its part

  void checkListing(const std::string& who, const std::string& className, const NameListing& listing, bool mustList);
  Answers checkAnswers(const std::string& who, IVelUnknown* object, const std::set<std::string>& names,
                       const NameListing& listing);
  void checkOneCount(const std::string& who, IVelUnknown* object, const Answers& answers);
  void checkNearMisses(const std::string& who, IVelUnknown* object, const std::set<std::string>& names,
                       const Answers& answers);
  void checkStopSet(const std::string& who, IVelUnknown* object, const NameListing& listing);

  Findings& findings_;
};

}  // namespace cadence::host::validate
