// The pool lock: one process-wide re-entrant lock serialising the bucket
// pools' allocate and release, the freeing of pooled blocks through their
// header, and the move of cached blocks to the host's pool. It is constant-
// initialised (usable before any constructor runs) and never destroyed.
#pragma once

#include "platform/reentrant_lock.h"

extern cadence::port::ReentrantLock g_poolLock;

inline cadence::port::ReentrantLock& poolLock() { return g_poolLock; }
