// Interface query by name: exact matching in query mode, and the listing of
// names into a caller's record with owners, class stack and stop set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/probe_objects.h"

namespace {

using cadence::test::IProbeA;
using cadence::test::IProbeB;
using cadence::test::Other;
using cadence::test::Probe;

void* query(IVelUnknown* object, const char* name) {
  void* slot = reinterpret_cast<void*>(0x1);  // must be overwritten with null first
  object->queryInterface(name, &slot);
  return slot;
}

TEST(QueryByName, EachNameYieldsItsPart) {
  Probe p;
  EXPECT_EQ(query(&p, "Probe"), static_cast<void*>(&p));
  EXPECT_EQ(query(&p, "IVelUnknown"), static_cast<void*>(static_cast<IVelUnknown*>(&p)));
  EXPECT_EQ(query(&p, "IProbeA"), static_cast<void*>(static_cast<IProbeA*>(&p)));
  EXPECT_EQ(query(&p, "IProbeB"), static_cast<void*>(static_cast<IProbeB*>(&p)));
  auto* unknown = static_cast<IVelUnknown*>(query(&p, "IVelUnknown"));
  EXPECT_STREQ(unknown->getClassName(), "Probe");
  EXPECT_EQ(p.getRefCount(), 0);  // queries take no reference
}

TEST(QueryByName, MatchingIsExactAndCaseSensitive) {
  Probe p;
  for (const char* name : {"IProbe", "IProbeAB", "IProbeA ", "iprobea", "IPROBEA", "IVelUnknow", "IVelUnknownX", "",
                           "Prob", "Probe\x01"}) {
    EXPECT_EQ(query(&p, name), nullptr) << '"' << name << '"';
  }
  const std::string longName(4096, 'I');
  EXPECT_EQ(query(&p, longName.c_str()), nullptr);
}

TEST(QueryByName, NoSlotOrRecordIsIgnoredAndAStaleSlotIsCleared) {
  Probe p;
  p.queryInterface("IProbeA", nullptr);  // no slot
  p.queryInterface(nullptr, nullptr);    // enumeration into no record
  EXPECT_EQ(p.getRefCount(), 0);
  void* slot = &p;
  p.queryInterface("NoSuchName", &slot);
  EXPECT_EQ(slot, nullptr);
}

// A caller's record, with a stop set of `bucketCount` chains.
class Record {
 public:
  explicit Record(uint32_t bucketCount = 1) : heads_(bucketCount, nullptr) {
    q.classStack = &stack;
    q.entries = &entries;
    q.stopSet.buckets = nullptr;
    q.stopSet.bucketCount = bucketCount;
    q.stopSet.count = 0;
    q.stopped = 0;
  }
  // Files `key` in the chain its djb2 hash (bytes as signed values) picks.
  void stopAt(const char* key) {
    uint32_t h = 5381;
    for (const char* c = key; *c; ++c) h = h * 33 + static_cast<uint32_t>(static_cast<signed char>(*c));
    nodes_.push_back(new VelStopSetNode{VelCString(key), nullptr});
    VelStopSetNode*& head = heads_[h % heads_.size()];
    nodes_.back()->next = head;
    head = nodes_.back();
    q.stopSet.buckets = heads_.data();
    ++q.stopSet.count;
  }
  ~Record() {
    for (VelStopSetNode* n : nodes_) delete n;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (int32_t i = 1; i <= entries.count; ++i) out.push_back(entries.at(i).name.c_str());
    return out;
  }

  VelArray<VelCString> stack;
  VelArray<VelNameEntry> entries;
  VelNameQuery q{};

 private:
  std::vector<VelStopSetNode*> heads_;
  std::vector<VelStopSetNode*> nodes_;
};

TEST(Enumeration, OrderKindsOwnersAndClassStack) {
  Probe p;
  Other o;
  Record r;
  p.queryInterface(nullptr, &r.q);
  EXPECT_EQ(r.names(), (std::vector<std::string>{"Probe", "IProbeA", "IProbeB"}));
  EXPECT_EQ(r.entries.at(1).kind, kVelNameKindClass);
  EXPECT_EQ(r.entries.at(1).owner.text, nullptr);  // class stack was empty
  for (int i = 2; i <= 3; ++i) {
    EXPECT_EQ(r.entries.at(i).kind, kVelNameKindInterface);
    EXPECT_TRUE(r.entries.at(i).owner == "Probe");
  }
  ASSERT_EQ(r.stack.count, 1);
  EXPECT_TRUE(r.stack.at(1) == "Probe");

  o.queryInterface(nullptr, &r.q);  // a second object: latest class is the owner
  EXPECT_EQ(r.names(), (std::vector<std::string>{"Probe", "IProbeA", "IProbeB", "Other", "IProbeA"}));
  EXPECT_TRUE(r.entries.at(4).owner == "Probe");
  EXPECT_TRUE(r.entries.at(5).owner == "Other");
  ASSERT_EQ(r.stack.count, 2);
  EXPECT_TRUE(r.stack.at(2) == "Other");
  EXPECT_EQ(r.q.stopped, 0);
}

TEST(Enumeration, NamesAreBorrowedAndOwnersFollowTheCopyRule) {
  Record r;
  const char* literal = "Literal";
  appendQueryName(literal, kVelNameKindClass, &r.q);
  appendQueryName("IFace", kVelNameKindInterface, &r.q);
  EXPECT_EQ(r.entries.at(1).name.text, literal);  // no copy
  EXPECT_EQ(r.entries.at(1).name.capacity, 0);
  EXPECT_EQ(r.entries.at(2).owner.text, literal);  // borrowed top of stack: shared

  // An owned class name on the stack gives each owner its own copy.
  r.stack.push(VelCString::copyOf("OwnedClass"));
  appendQueryName("IOther", kVelNameKindInterface, &r.q);
  const VelCString& owner = r.entries.at(3).owner;
  EXPECT_TRUE(owner == "OwnedClass");
  EXPECT_GT(owner.capacity, 0);
  EXPECT_NE(owner.text, r.stack.at(r.stack.count).text);
}

TEST(Enumeration, ManyNamesGrowTheArraysAndKeepEveryEntry) {
  Record r;
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back("Name" + std::to_string(i));
  for (int i = 0; i < 40; ++i) appendQueryName(names[i].c_str(), i % 4 == 0 ? 1 : 0, &r.q);
  ASSERT_EQ(r.entries.count, 40);
  EXPECT_EQ(r.entries.capacity, 64);
  EXPECT_EQ(r.stack.count, 10);
  for (int i = 1; i <= 40; ++i) EXPECT_EQ(r.entries.at(i).name.c_str(), names[i - 1]);
  EXPECT_TRUE(r.entries.at(40).owner == "Name36");
}

TEST(Enumeration, NullNameAddsNothing) {
  Record r;
  appendQueryName(nullptr, kVelNameKindClass, &r.q);
  appendQueryName("X", kVelNameKindClass, nullptr);  // no record: ignored
  EXPECT_EQ(r.entries.count, 0);
  EXPECT_EQ(r.stack.count, 0);
  EXPECT_EQ(r.q.stopped, 0);
}

TEST(StopSet, AnyStoppedNameEmptiesTheRecordForGood) {
  Probe p;
  Other o;
  Record r(7);
  r.stopAt("Unrelated");
  r.stopAt("IProbeB");  // Probe's last name
  o.queryInterface(nullptr, &r.q);
  EXPECT_EQ(r.entries.count, 2);
  p.queryInterface(nullptr, &r.q);
  EXPECT_EQ(r.q.stopped, 1);
  EXPECT_EQ(r.entries.count, 0);
  EXPECT_EQ(r.stack.count, 0);
  o.queryInterface(nullptr, &r.q);  // later appends yield nothing either
  EXPECT_EQ(r.entries.count, 0);
  EXPECT_EQ(r.stack.count, 0);
}

TEST(StopSet, LookupHashesSignedBytesAndComparesExactly) {
  // 0xE9 taken as signed moves the name to another chain than unsigned would.
  Record r(13);
  r.stopAt("Caf\xE9");
  appendQueryName("Caf", kVelNameKindClass, &r.q);          // a prefix is not a hit
  appendQueryName("caf\xE9", kVelNameKindInterface, &r.q);  // nor another case
  EXPECT_EQ(r.entries.count, 2);
  appendQueryName("Caf\xE9", kVelNameKindInterface, &r.q);
  EXPECT_EQ(r.q.stopped, 1);
  EXPECT_EQ(r.entries.count, 0);
}

TEST(StopSet, SetWithoutBucketsStopsNothing) {
  Probe p;
  Record r(5);  // bucket array still null
  p.queryInterface(nullptr, &r.q);
  EXPECT_EQ(r.entries.count, 3);
  EXPECT_EQ(r.q.stopped, 0);
}

}  // namespace
