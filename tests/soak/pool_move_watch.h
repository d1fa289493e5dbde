// The move to the host's pool, judged by what the module counts rather than
// by the clock: on its own pool the module asks the host again every 601 of
// its pooled allocations, so once it has made two such intervals' worth after
// the offer it must have moved. The soak counts the allocations it knows the
// module made (one entry per newly registered name) and, where its churn is
// slow, registers names of its own until the count is reached.
#pragma once

#include <cstdint>

class BucketMemoryPool;

namespace cadence::soak {

inline constexpr int64_t kModuleAsksHostEvery = 601;
inline constexpr int64_t kAllocationsToJudgeMove = 2 * kModuleAsksHostEvery;

struct PoolMoveFigures {
  bool offered = false;
  double offeredAtSeconds = 0;
  double movedAtSeconds = -1;      // below 0: not moved
  int64_t allocationsToMove = -1;  // counted after the offer when the move was seen
  int64_t allocationsAfterOffer = 0;

  bool moved() const { return movedAtSeconds >= 0; }
  // Enough allocations were counted that a working module has moved.
  bool judged() const { return moved() || allocationsAfterOffer >= kAllocationsToJudgeMove; }
};

class PoolMoveWatch {
 public:
  // `pool` is the host's, offered now; `moduleAllocations` what the module
  // had surely allocated so far.
  void offered(BucketMemoryPool* pool, double nowSeconds, int64_t moduleAllocations);
  // Notes a move (the module holds a reference on the host's pool) after the
  // module has made `moduleAllocations` in all.
  void update(int64_t moduleAllocations, double nowSeconds);
  // Offered, not moved, and fewer allocations counted than the verdict needs.
  bool wantsAllocations() const;
  const PoolMoveFigures& figures() const { return figures_; }

 private:
  BucketMemoryPool* pool_ = nullptr;
  int64_t allocationsAtOffer_ = 0;
  PoolMoveFigures figures_;
};

}  // namespace cadence::soak
