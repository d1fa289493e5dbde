// The prime table, the class table with its cursor, and the default class
// factory with the registration of item factories.
#include "core/class_factory.h"

const uint32_t kVelPrimes[kVelPrimeCount] = {
    2u,        3u,        5u,         11u,        17u,        37u,        67u,        131u,
    257u,      521u,      1031u,      2053u,      4099u,      8209u,      16411u,     32771u,
    65537u,    131101u,   262147u,    524309u,    1048583u,   2097169u,   4194319u,   8388617u,
    16777259u, 33554467u, 67108879u,  134217757u, 268435459u, 536870923u, 1073741827u, 2147483659u};

uint32_t nextPrime(uint32_t n) {
  for (int k = 0; k < kVelPrimeCount - 1; ++k) {
    if (kVelPrimes[k] > n) return kVelPrimes[k];
  }
  return kVelPrimes[kVelPrimeCount - 1];
}

// ---- class table ----------------------------------------------------------

VelClassTable::VelClassTable()
    : buckets_(nullptr),
      bucketCount_(nextPrime(99)),
      entryCount_(0),
      cursorState_(CursorState::none),
      cursorNode_(nullptr),
      cursorValue_(nullptr) {}

VelClassTable::~VelClassTable() {
  if (!buckets_) return;
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    Node* node = buckets_[b];
    while (node) {
      Node* following = node->next;
      delete node;
      node = following;
    }
  }
  delete[] buckets_;
}

VelClassTable::Node* VelClassTable::lookup(const VelID& key, uint32_t* bucket) const {
  *bucket = key.hash() % bucketCount_;
  if (!buckets_) return nullptr;
  for (Node* node = buckets_[*bucket]; node; node = node->next) {
    if (node->key == key) return node;
  }
  return nullptr;
}

void VelClassTable::registerFactory(const VelID& classId, VelItemFactory* factory) {
  if (!factory) return;
  uint32_t bucket = 0;
  if (Node* existing = lookup(classId, &bucket)) {
    existing->value = factory;
    return;
  }
  insert(new Node{bucket, classId, factory, nullptr});
}

VelItemFactory* VelClassTable::find(const VelID& classId) const {
  uint32_t bucket = 0;
  Node* node = lookup(classId, &bucket);
  return node ? node->value : nullptr;
}

void VelClassTable::insert(Node* node) {
  if (!buckets_) buckets_ = new Node*[bucketCount_]();
  node->next = buckets_[node->bucket];
  buckets_[node->bucket] = node;
  ++entryCount_;
  if (static_cast<double>(entryCount_) >= 0.8 * static_cast<double>(bucketCount_)) {
    rehash(nextPrime(bucketCount_));
  }
}

void VelClassTable::rehash(uint32_t newCount) {
  if (newCount == 0 || newCount == bucketCount_ || !buckets_) return;
  Node** fresh = new Node*[newCount]();
  for (uint32_t b = 0; b < bucketCount_; ++b) {
    Node* node = buckets_[b];
    while (node) {
      Node* following = node->next;
      node->bucket = node->key.hash() % newCount;
      node->next = fresh[node->bucket];
      fresh[node->bucket] = node;
      node = following;
    }
  }
  delete[] buckets_;
  buckets_ = fresh;
  bucketCount_ = newCount;
}

VelClassTable::Node* VelClassTable::firstNodeFrom(uint32_t bucket) const {
  if (!buckets_) return nullptr;
  for (uint32_t b = bucket; b < bucketCount_; ++b) {
    if (buckets_[b]) return buckets_[b];
  }
  return nullptr;
}

bool VelClassTable::settleCursor(Node* node, VelID& out) {
  cursorNode_ = node;
  if (!node) {
    cursorState_ = CursorState::end;
    cursorValue_ = nullptr;
    return false;
  }
  cursorState_ = CursorState::on;
  cursorKey_ = node->key;
  cursorValue_ = node->value;
  out = node->key;
  return true;
}

bool VelClassTable::first(VelID& out) { return settleCursor(firstNodeFrom(0), out); }

bool VelClassTable::next(VelID& out) {
  // No cursor yet, or already past the end: nothing more to give.
  if (cursorState_ != CursorState::on || !cursorNode_) return false;
  Node* current = cursorNode_;
  Node* following = current->next ? current->next : firstNodeFrom(current->bucket + 1);
  return settleCursor(following, out);
}

// ---- default class factory ------------------------------------------------

uint32_t VelDefaultClassFactory::createInstance(const VelID& classId, IVelUnknown** object) {
  if (!object) return 0;
  VelItemFactory* factory = table_.find(classId);
  if (!factory) return 0;
  uint32_t status = 0;
  *object = factory->createItem(&status);
  return status;
}

uint32_t VelDefaultClassFactory::getClassCount() { return table_.entryCount(); }

bool VelDefaultClassFactory::getFirstClassId(VelID& out) { return table_.first(out); }

bool VelDefaultClassFactory::getNextClassId(VelID& out) { return table_.next(out); }

const char* VelDefaultClassFactory::getClassNameOf(const VelID& classId) {
  VelItemFactory* factory = table_.find(classId);
  return factory ? factory->getItemName() : nullptr;
}

void VelDefaultClassFactory::registerItemFactory(VelItemFactory* factory) {
  if (!factory) return;
  table_.registerFactory(factory->classId(), factory);
}

VelDefaultClassFactory* getDefaultClassFactory() {
  // Built on the first call (item factories may register before anything
  // else asks), kept for the life of the process.
  static VelDefaultClassFactory* const factory = new VelDefaultClassFactory(*new VelClassTable);
  return factory;
}

// ---- item factories -------------------------------------------------------

VelItemFactory::VelItemFactory(const char* className, const void* info, const VelID& classId)
    : VelItemFactory(className, info, classId, *getDefaultClassFactory()) {}

VelItemFactory::VelItemFactory(const char* className, const void* info, const VelID& classId,
                               VelDefaultClassFactory& registerWith)
    : className_(className), info_(info), classId_(classId) {
  registerWith.registerItemFactory(this);
}
