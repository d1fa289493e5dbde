// The class table: chained buckets, growth by the prime table, the cursor.
#include "core/class_table.h"

#include <cstring>

#include "core/primes.h"
#include "memory/guarded_new.h"

namespace {

// Registration runs while a host loads the module: its blocks come the
// guarded way, never as an exception through the host's loader.
template <class Head>
Head* nullHeads(uint32_t count) {
  void* heads = cadence::guard::allocateOrFail(sizeof(Head) * count);
  std::memset(heads, 0, sizeof(Head) * count);
  return static_cast<Head*>(heads);
}

}  // namespace

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
  cadence::guard::releaseBlock(buckets_);
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
  insert(new Node{{}, bucket, classId, factory, nullptr});
}

VelItemFactory* VelClassTable::find(const VelID& classId) const {
  uint32_t bucket = 0;
  Node* node = lookup(classId, &bucket);
  return node ? node->value : nullptr;
}

void VelClassTable::insert(Node* node) {
  if (!buckets_) buckets_ = nullHeads<Node*>(bucketCount_);
  node->next = buckets_[node->bucket];
  buckets_[node->bucket] = node;
  ++entryCount_;
  if (static_cast<double>(entryCount_) >= 0.8 * static_cast<double>(bucketCount_)) {
    rehash(nextPrime(bucketCount_));
  }
}

void VelClassTable::rehash(uint32_t newCount) {
  if (newCount == 0 || newCount == bucketCount_ || !buckets_) return;
  Node** fresh = nullHeads<Node*>(newCount);
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
  cadence::guard::releaseBlock(buckets_);
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
