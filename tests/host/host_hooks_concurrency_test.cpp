// The reference host's counting hooks from several threads at once: no
// update is lost and exactly one release reports the object as done.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "host/reference_host.h"

namespace cadence::host {
namespace {

TEST(ReferenceHostHooksConcurrency, LoseNoUpdateAndEndTheObjectExactlyOnce) {
  ReferenceHost host;
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  alignas(4) int32_t counter = 1;  // the reference the test itself holds
  std::atomic<int> finalReleases{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        host.addRefHook(&counter);
        if (host.releaseRefHook(&counter)) finalReleases.fetch_add(1);
      }
      host.addRefHook(&counter);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(finalReleases.load(), 0);
  EXPECT_EQ(counter, 1 + kThreads);

  threads.clear();
  for (int t = 0; t < kThreads + 1; ++t) {
    threads.emplace_back([&] {
      if (host.releaseRefHook(&counter)) finalReleases.fetch_add(1);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(finalReleases.load(), 1);
  EXPECT_EQ(counter, kVelDestroyingRefCount);
}

}  // namespace
}  // namespace cadence::host
