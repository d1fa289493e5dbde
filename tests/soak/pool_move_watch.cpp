// Watching for the module's move to the host's pool.
#include "tests/soak/pool_move_watch.h"

#include "cadencehost/bucket_memory_pool.h"

namespace cadence::soak {

void PoolMoveWatch::offered(BucketMemoryPool* pool, double nowSeconds, int64_t moduleAllocations) {
  pool_ = pool;
  allocationsAtOffer_ = moduleAllocations;
  figures_.offered = true;
  figures_.offeredAtSeconds = nowSeconds;
}

void PoolMoveWatch::update(int64_t moduleAllocations, double nowSeconds) {
  if (!pool_ || figures_.moved()) return;
  figures_.allocationsAfterOffer = moduleAllocations - allocationsAtOffer_;
  // The host holds one reference; the module takes another when it moves.
  if (pool_->getRefCount() > 1) {
    figures_.movedAtSeconds = nowSeconds;
    figures_.allocationsToMove = figures_.allocationsAfterOffer;
  }
}

bool PoolMoveWatch::wantsAllocations() const {
  return pool_ && !figures_.moved() && figures_.allocationsAfterOffer < kAllocationsToJudgeMove;
}

}  // namespace cadence::soak
