// The bucket counts of the framework's hash tables (the class table, the
// timer registry): one table of 32 primes.
#pragma once

#include <cstdint>

// Entry k is the smallest prime above 2^k.
constexpr int kVelPrimeCount = 32;
extern const uint32_t kVelPrimes[kVelPrimeCount];

// The first of the first 31 primes that is greater than n; else the last one.
uint32_t nextPrime(uint32_t n);
