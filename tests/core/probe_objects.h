// Small IVelUnknown classes for the object-model and query tests: a class with
// two interfaces that records what its destructor sees, and a second class
// whose names overlap the first one's.
#pragma once

#include "cadencehost/vel_object.h"
#include "cadencehost/vel_query.h"

namespace cadence::test {

class IProbeA : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IProbeA";
  virtual int a() = 0;
};
class IProbeB : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IProbeB";
  virtual int b() = 0;
};

// Answers "Probe", "IVelUnknown", "IProbeA", "IProbeB"; lists the same
// names, without "IVelUnknown", in enumeration mode.
class Probe : public IProbeA, public IProbeB {
 public:
  Probe() = default;
  Probe(int32_t* seenInDestructor, bool* destroyed) : seen_(seenInDestructor), destroyed_(destroyed) {}
  ~Probe() override {
    if (seen_) *seen_ = getRefCount();
    if (destroyed_) *destroyed_ = true;
  }
  int a() override { return 1; }
  int b() override { return 2; }
  void queryInterface(const char* name, void* target) override {
    velAnswerQuery<IProbeA, IProbeB>(this, "Probe", name, target);
  }
  const char* getClassName() override { return "Probe"; }

 private:
  int32_t* seen_ = nullptr;
  bool* destroyed_ = nullptr;
};

// A second class with one interface, for records that list several objects.
class Other : public IProbeA {
 public:
  int a() override { return 3; }
  void queryInterface(const char* name, void* target) override { velAnswerQuery<IProbeA>(this, "Other", name, target); }
  const char* getClassName() override { return "Other"; }
};

}  // namespace cadence::test
