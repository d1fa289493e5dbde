// Sequences of allocate, release, setEnabled and purge on bucket memory
// pools, against a model of the cache: no block is handed out twice while it
// is held, the usable size is at least the request (exactly the class size
// while pooling is on, exactly the request, at least 1, while it is off), a
// class hands back its cached blocks last in, first out, and a held block's
// bytes stay as they were written.
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

struct PoolUnderTest {
  BucketMemoryPool* pool;
  std::map<int32_t, std::vector<void*>> cached;  // class size -> blocks, last on top
};

struct Held {
  void* block;
  int32_t usable;
  uint8_t tag;
  int pool;
};

// The class size of a request, from the pool's parameters.
int32_t classSize(const BucketMemoryPool& p, int32_t size) {
  if (size <= p.linearLimit) return (size > 0 ? (size - 1) / p.granularity + 1 : 1) * p.granularity;
  int64_t c = p.linearLimit;
  while (c < size) c *= 2;
  return static_cast<int32_t>(c);
}

int32_t limitOf(const BucketMemoryPool& p) { return p.maxPooledSize < 0 ? -p.maxPooledSize : p.maxPooledSize; }

// Two pools, made once: the usual parameters, and a granularity that is not a
// power of two with a low linear limit. Each keeps references of the target
// so that a pool made later never destroys it; neither is ever destroyed.
std::vector<PoolUnderTest>& pools() {
  static auto* made = [] {
    auto* v = new std::vector<PoolUnderTest>;
    auto* usual = new BucketMemoryPool(4, 8192, 262144);
    usual->addRef();
    usual->addRef();
    auto* odd = new BucketMemoryPool(12, 600, 20000);
    odd->addRef();
    odd->addRef();
    v->push_back({usual, {}});
    v->push_back({odd, {}});
    return v;
  }();
  return *made;
}

void fill(const Held& h) {
  auto* bytes = static_cast<uint8_t*>(h.block);
  if (h.usable > 0) {
    bytes[0] = h.tag;
    bytes[h.usable - 1] = h.tag;
    bytes[h.usable / 2] = h.tag;
  }
}

bool intact(const Held& h) {
  const auto* bytes = static_cast<const uint8_t*>(h.block);
  return h.usable <= 0 || (bytes[0] == h.tag && bytes[h.usable - 1] == h.tag && bytes[h.usable / 2] == h.tag);
}

bool inAnyCache(void* block) {
  for (const PoolUnderTest& p : pools())
    for (const auto& [size, blocks] : p.cached)
      for (void* b : blocks)
        if (b == block) return true;
  return false;
}

// Gives a held block back through its pool and updates the model.
void giveBack(Held& h) {
  PoolUnderTest& p = pools()[h.pool];
  VEL_FUZZ_CHECK(intact(h));
  const bool on = p.pool->maxPooledSize > 0;
  const bool filed = on && h.usable <= p.pool->maxPooledSize && classSize(*p.pool, h.usable) == h.usable;
  void* block = h.block;
  VEL_FUZZ_CHECK(p.pool->release(h.usable, &block));
  VEL_FUZZ_CHECK(block == nullptr);
  if (filed) p.cached[h.usable].push_back(h.block);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<Held> held;
  std::set<void*> heldSet;
  uint8_t nextTag = 1;

  for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
    const int which = in.ConsumeIntegralInRange<int>(0, 1);
    PoolUnderTest& p = pools()[which];
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
      default: {  // allocate: mostly small, sometimes around the limits
        int32_t request;
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
          case 0: request = in.ConsumeIntegralInRange<int32_t>(0, 300000); break;
          case 1: request = p.pool->linearLimit + in.ConsumeIntegralInRange<int32_t>(-4, 4); break;
          case 2: request = limitOf(*p.pool) + in.ConsumeIntegralInRange<int32_t>(-2, 2); break;
          default: request = in.ConsumeIntegralInRange<int32_t>(0, 64); break;
        }
        const bool on = p.pool->maxPooledSize > 0;
        const bool pooled = on && request <= p.pool->maxPooledSize;
        int32_t usable = -1;
        void* block = p.pool->allocate(request, &usable);
        VEL_FUZZ_CHECK(block != nullptr);
        VEL_FUZZ_CHECK(usable >= request);
        VEL_FUZZ_CHECK(!heldSet.count(block));  // never handed out twice while held
        if (pooled) {
          const int32_t cls = classSize(*p.pool, request);
          VEL_FUZZ_CHECK(usable == cls);
          auto& stack = p.cached[cls];
          if (!stack.empty()) {
            VEL_FUZZ_CHECK(block == stack.back());  // last in, first out
            stack.pop_back();
          } else {
            VEL_FUZZ_CHECK(!inAnyCache(block));
          }
        } else {
          VEL_FUZZ_CHECK(usable == std::max(request, 1));  // never 0: that would read as borrowed
          VEL_FUZZ_CHECK(!inAnyCache(block));
        }
        Held h{block, usable, nextTag++, which};
        if (nextTag == 0) nextTag = 1;
        fill(h);
        held.push_back(h);
        heldSet.insert(block);
        break;
      }
      case 5:
      case 6: {  // release a held block (of either pool, through its own)
        if (held.empty()) break;
        const size_t i = in.ConsumeIntegralInRange<size_t>(0, held.size() - 1);
        Held h = held[i];
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
        heldSet.erase(h.block);
        giveBack(h);
        break;
      }
      case 7: {  // refused releases change nothing
        void* none = nullptr;
        VEL_FUZZ_CHECK(!p.pool->release(8, &none));
        if (!held.empty()) {
          void* b = held.back().block;
          VEL_FUZZ_CHECK(!p.pool->release(0, &b) && b == held.back().block);
        }
        break;
      }
      case 8: VEL_FUZZ_CHECK(p.pool->setEnabled(in.ConsumeBool())); break;
      case 9:
        VEL_FUZZ_CHECK(p.pool->purge());
        p.cached.clear();
        break;
    }
  }
  for (Held& h : held) giveBack(h);
  for (PoolUnderTest& p : pools()) {
    p.pool->setEnabled(true);
    p.pool->purge();
    p.cached.clear();
  }
  return 0;
}
