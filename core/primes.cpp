// The prime table and nextPrime.
#include "core/primes.h"

const uint32_t kVelPrimes[kVelPrimeCount] = {
    2u,        3u,        5u,        11u,        17u,        37u,        67u,         131u,
    257u,      521u,      1031u,     2053u,      4099u,      8209u,      16411u,      32771u,
    65537u,    131101u,   262147u,   524309u,    1048583u,   2097169u,   4194319u,    8388617u,
    16777259u, 33554467u, 67108879u, 134217757u, 268435459u, 536870923u, 1073741827u, 2147483659u};

uint32_t nextPrime(uint32_t n) {
  for (int k = 0; k < kVelPrimeCount - 1; ++k) {
    if (kVelPrimes[k] > n) return kVelPrimes[k];
  }
  return kVelPrimes[kVelPrimeCount - 1];
}
