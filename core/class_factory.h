// Class identifiers to item factories: the prime table that sizes the
// framework's hash tables, the class table with its enumeration cursor, the
// default class factory over it, and the item factories that register in it.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"

// Entry k is the smallest prime above 2^k.
constexpr int kVelPrimeCount = 32;
extern const uint32_t kVelPrimes[kVelPrimeCount];

// The first of the first 31 primes that is greater than n; else the last one.
uint32_t nextPrime(uint32_t n);

class VelItemFactory;

// A chained hash table from class identifier to item factory (not owned).
// Buckets are allocated at the first insertion; it grows to nextPrime(buckets)
// once the entry count reaches 0.8 x buckets, and never shrinks.
class VelClassTable {
 public:
  VelClassTable();
  ~VelClassTable();
  VelClassTable(const VelClassTable&) = delete;
  VelClassTable& operator=(const VelClassTable&) = delete;

  // Find or insert: an identifier already present gets the new factory (the
  // old one is left alone). A null factory is ignored.
  void registerFactory(const VelID& classId, VelItemFactory* factory);
  VelItemFactory* find(const VelID& classId) const;

  uint32_t entryCount() const { return entryCount_; }
  uint32_t bucketCount() const { return bucketCount_; }

  // The enumeration cursor. first() starts over; next() moves on. next()
  // without a cursor, or after the end was reached, answers false.
  bool first(VelID& out);
  bool next(VelID& out);

 private:
  struct Node {
    uint32_t bucket;
    VelID key;
    VelItemFactory* value;
    Node* next;
  };

  Node* lookup(const VelID& key, uint32_t* bucket) const;
  void insert(Node* node);
  void rehash(uint32_t newCount);
  Node* firstNodeFrom(uint32_t bucket) const;
  bool settleCursor(Node* node, VelID& out);

  Node** buckets_;
  uint32_t bucketCount_;
  uint32_t entryCount_;

  enum class CursorState { none, on, end };
  CursorState cursorState_;
  Node* cursorNode_;
  VelID cursorKey_;
  VelItemFactory* cursorValue_;
};

// The class factory the host reaches through the component.
class IVelClassFactory {
 public:
  virtual ~IVelClassFactory() = default;
  // 0 when nothing is registered under classId (object untouched); else the
  // item factory's status, with the new object in *object.
  virtual uint32_t createInstance(const VelID& classId, IVelUnknown** object) = 0;
  virtual uint32_t getClassCount() = 0;
  virtual bool getFirstClassId(VelID& out) = 0;
  virtual bool getNextClassId(VelID& out) = 0;
  virtual const char* getClassNameOf(const VelID& classId) = 0;
};

// Works on one class table: the process-wide one (getDefaultClassFactory) or
// a private one a test builds.
class VelDefaultClassFactory : public IVelClassFactory {
 public:
  explicit VelDefaultClassFactory(VelClassTable& table) : table_(table) {}

  // A null output pointer gets 0 and creates nothing.
  uint32_t createInstance(const VelID& classId, IVelUnknown** object) override;
  uint32_t getClassCount() override;
  bool getFirstClassId(VelID& out) override;
  bool getNextClassId(VelID& out) override;
  const char* getClassNameOf(const VelID& classId) override;

  void registerItemFactory(VelItemFactory* factory);
  VelClassTable& table() { return table_; }

 private:
  VelClassTable& table_;
};

// The process-wide class factory, created with its table on the first call
// and never destroyed.
VelDefaultClassFactory* getDefaultClassFactory();

// Creates the objects of one class. Constructing one registers it under its
// class identifier (with the default class factory unless one is given).
class VelItemFactory {
 public:
  VelItemFactory(const char* className, const void* info, const VelID& classId);
  VelItemFactory(const char* className, const void* info, const VelID& classId,
                 VelDefaultClassFactory& registerWith);
  VelItemFactory(const VelItemFactory&) = delete;
  VelItemFactory& operator=(const VelItemFactory&) = delete;
  virtual ~VelItemFactory() = default;

  // Returns the object (no reference for the caller) and writes a status.
  virtual IVelUnknown* createItem(uint32_t* status) = 0;
  virtual const char* getItemName() { return className_; }
  virtual const void* getItemInfo() { return info_; }

  const VelID& classId() const { return classId_; }

 private:
  const char* className_;
  const void* info_;
  VelID classId_;
};

// Creates one T on the first request, keeps one reference on it for good,
// and hands the same object out with status 2 every time.
template <class T>
class VelSingletonTClassItemFactory : public VelItemFactory {
 public:
  using VelItemFactory::VelItemFactory;

  static constexpr uint32_t kStatusSingleton = 2;

  IVelUnknown* createItem(uint32_t* status) override {
    if (!instance_) {
      T* created = new T;
      static_cast<IVelUnknown*>(created)->addRef();
      instance_ = created;
    }
    if (status) *status = kStatusSingleton;
    return static_cast<IVelUnknown*>(instance_);
  }

  T* instance() const { return instance_; }

 private:
  T* instance_ = nullptr;  // torn down with the factory without being released
};
