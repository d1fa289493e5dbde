// The process-wide pool lock (see pool_lock.h).
#include "memory/pool_lock.h"

constinit cadence::port::ReentrantLock g_poolLock;
