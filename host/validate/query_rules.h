// The query rules, applied to one object a host can reach: names answer
// exactly (a prefix, a longer name or another letter case answers null, and
// a query that matches nothing sets the slot to null); every answer is a
// part of the same object, with one IVelUnknown and one count; no query
// takes a reference; the listing into a VelNameQuery agrees with what
// queries answer; a listed name in the stop set empties the record for good.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "cadencehost/vel_object.h"
#include "host/name_listing.h"
#include "host/validate/checks.h"

namespace cadence::host::validate {

struct ReachedObject {
  IVelUnknown* object;
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

 private:
  void checkListing(const std::string& who, const std::string& className, const NameListing& listing, bool mustList);
  void checkAnswers(const std::string& who, IVelUnknown* object, const std::set<std::string>& names,
                    const NameListing& listing);
  void checkNearMisses(const std::string& who, IVelUnknown* object, const std::set<std::string>& names);
  void checkStopSet(const std::string& who, IVelUnknown* object, const NameListing& listing);

  Findings& findings_;
};

}  // namespace cadence::host::validate
