// The start-up runtime of the MSVC ABI toolchain (platform/windows/msvc_startup)
// in a real EXE and DLL (msvc_startup_helper.dll, beside the test): the
// initializer tables, each image's exit list, thread_local, thread-safe
// statics, RTTI, exceptions across the boundary and operator new.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <thread>
#include <typeinfo>

#include "msvc_startup_helper_api.h"

namespace {

class Helper {
 public:
  Helper() : module_(LoadLibraryW(L"msvc_startup_helper.dll")) {
    if (!module_) return;
    auto entry = reinterpret_cast<const HelperApi* (*)()>(GetProcAddress(module_, "helper_api"));
    api_ = entry ? entry() : nullptr;
  }
  ~Helper() { unload(); }
  const HelperApi* operator->() const { return api_; }
  bool loaded() const { return api_ != nullptr; }
  void unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }

 private:
  HMODULE module_;
  const HelperApi* api_ = nullptr;
};

// Static initialization, recorded by constant-initialized state: a C
// initializer (.CRT$XIU) comes before the C++ ones, which run in file order.
int init_order[4];
int init_count;
void record_init(int step) { init_order[init_count++] = step; }

int __cdecl c_initializer() {
  record_init(1);
  return 0;
}
}  // namespace

// External, so that the compiler keeps an entry nothing refers to.
#pragma section(".CRT$XIU", long, read)
extern "C" __declspec(allocate(".CRT$XIU")) int(__cdecl* const msvc_startup_test_c_initializer)() = c_initializer;

namespace {

struct Recorder {
  explicit Recorder(int step) { record_init(step); }
};
Recorder first_constructed(2);
Recorder second_constructed(3);

TEST(MsvcStartup, RunsInitializersOnceInTableAndFileOrder) {
  ASSERT_EQ(init_count, 3);
  EXPECT_EQ(init_order[0], 1);
  EXPECT_EQ(init_order[1], 2);
  EXPECT_EQ(init_order[2], 3);
}

TEST(MsvcStartup, DllExitListRunsAtFreeLibraryBeforeItsStaticDestructors) {
  HelperCounters counters{};
  Helper helper;
  ASSERT_TRUE(helper.loaded());
  helper->watch(&counters);
  EXPECT_EQ(counters.event_count, 0);
  helper.unload();
  ASSERT_EQ(counters.event_count, 2);
  EXPECT_EQ(counters.events[0], kExitFunction);
  EXPECT_EQ(counters.events[1], kStaticDestructor);
}

bool report_exit = false;  // in the death test's child only
struct ExitReporter {
  ~ExitReporter() {
    if (report_exit) std::fputs("exe thread_local destroyed\n", stderr);
  }
};
thread_local ExitReporter exit_reporter;

// As MSVC's runtime orders the end of a process: the exiting thread's
// thread_local objects, the EXE's exit list, then each DLL's.
TEST(MsvcStartupDeathTest, ExitEndsThreadLocalsThenTheExesThenTheDllsExitList) {
  EXPECT_EXIT(
      {
        Helper helper;
        if (!helper.loaded()) std::_Exit(2);
        report_exit = true;
        (void)&exit_reporter;
        std::atexit([] { std::fputs("exe exit list ran\n", stderr); });
        helper->report_exit_to_stderr();
        std::exit(0);
      },
      testing::ExitedWithCode(0), "exe thread_local destroyed\nexe exit list ran\nhelper exit list ran");
}

struct Counted {
  static inline std::atomic<int> constructed{0}, destroyed{0};
  int value;
  explicit Counted(int v) : value(v) { ++constructed; }
  ~Counted() { ++destroyed; }
};
int dynamic_seven() { return GetCurrentThreadId() != 0 ? 7 : 0; }
thread_local Counted per_thread(dynamic_seven());

TEST(MsvcStartup, ThreadLocalsAreMadeAndDestroyedPerThreadInExeAndDll) {
  EXPECT_EQ(per_thread.value, 7);  // this thread's
  int constructed = Counted::constructed, destroyed = Counted::destroyed;
  int seen = 0;
  std::thread([&] { seen = per_thread.value; }).join();
  EXPECT_EQ(seen, 7);
  EXPECT_EQ(Counted::constructed, constructed + 1);
  EXPECT_EQ(Counted::destroyed, destroyed + 1);

  HelperCounters counters{};
  Helper helper;
  ASSERT_TRUE(helper.loaded());
  helper->watch(&counters);
  int seen_in_dll = 0;
  std::thread([&] { seen_in_dll = helper->thread_local_value(); }).join();
  EXPECT_EQ(seen_in_dll, 42);
  EXPECT_EQ(counters.thread_local_destroyed, 1);
  EXPECT_EQ(helper->thread_local_value(), 42);  // the loading thread's, made at load
  helper.unload();
  EXPECT_EQ(counters.thread_local_destroyed, 2);  // FreeLibrary: the calling thread's
}

std::atomic<int> slow_initializations{0};
int slow_value() {
  ++slow_initializations;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return 11;
}
int shared_static() {
  static int value = slow_value();
  return value;
}

int throwing_attempts = 0;
int throw_first_time() {
  if (++throwing_attempts == 1) throw std::runtime_error("first attempt");
  return 5;
}
int retried_static() {
  static int value = throw_first_time();
  return value;
}

TEST(MsvcStartup, LocalStaticIsInitializedOnceAcrossThreadsAndRetriedAfterAThrow) {
  int a = 0, b = 0;
  std::thread first([&] { a = shared_static(); });
  std::thread second([&] { b = shared_static(); });
  first.join();
  second.join();
  EXPECT_EQ(a, 11);
  EXPECT_EQ(b, 11);
  EXPECT_EQ(slow_initializations, 1);

  EXPECT_THROW(retried_static(), std::runtime_error);
  EXPECT_EQ(retried_static(), 5);
  EXPECT_EQ(retried_static(), 5);
  EXPECT_EQ(throwing_attempts, 2);
}

// The compiler calls the runtime's 128-bit division for __int128 operands
// (volatile: no folding at compile time).
TEST(MsvcStartup, DividesOneHundredTwentyEightBitNumbersRoundingTowardZero) {
  volatile __int128 big = static_cast<__int128>(0x0123456789ABCDEFull) << 64 | 0xFEDCBA9876543210ull;
  volatile __int128 seven = 7, minusSeven = -7;
  const __int128 quotient = big / seven, rest = big % seven;
  EXPECT_TRUE(quotient * 7 + rest == big && rest >= 0 && rest < 7);
  EXPECT_TRUE(-big / seven == -quotient && -big % seven == -rest);  // the remainder takes the dividend's sign
  EXPECT_TRUE(big / minusSeven == -quotient && big % minusSeven == rest);
  volatile unsigned __int128 top = ~static_cast<unsigned __int128>(0), three = 3;
  EXPECT_TRUE(top / three * 3 + top % three == top && top % three == 0);
}

}  // namespace

// Named: wine's undecorator leaves anonymous namespaces (?A0x...) as they are.
namespace rtti {
struct Square : Shape {
  int sides() const override { return 4; }
};
}  // namespace rtti

namespace {

TEST(MsvcStartup, RttiNamesAndCastsWorkWithinAndAcrossImages) {
  rtti::Square square;
  Shape* shape = &square;
  EXPECT_STREQ(typeid(*shape).name(), "struct rtti::Square");
  EXPECT_STREQ(typeid(int).name(), "int");
  EXPECT_NE(dynamic_cast<rtti::Square*>(shape), nullptr);
  EXPECT_EQ(dynamic_cast<Circle*>(shape), nullptr);
  EXPECT_THROW((void)dynamic_cast<Circle&>(*shape), std::bad_cast);

  Helper helper;
  ASSERT_TRUE(helper.loaded());
  Shape* from_dll = helper->make_circle();  // the DLL's Circle: the same by name
  EXPECT_STREQ(typeid(*from_dll).name(), "struct Circle");
  EXPECT_TRUE(typeid(*from_dll) == typeid(Circle));
  EXPECT_NE(dynamic_cast<Circle*>(from_dll), nullptr);
  EXPECT_EQ(dynamic_cast<rtti::Square*>(from_dll), nullptr);
  delete from_dll;  // the DLL's destructor, through the vftable
}

TEST(MsvcStartup, ExceptionsThrownInTheDllAreCaughtInTheExe) {
  HelperCounters counters{};
  Helper helper;
  ASSERT_TRUE(helper.loaded());
  helper->watch(&counters);
  try {
    helper->throw_error(17);
    ADD_FAILURE() << "no exception";
  } catch (const HelperError& error) {
    EXPECT_EQ(error.code, 17);
  }
  EXPECT_EQ(counters.unwound, 1);
  try {
    helper->throw_runtime_error();
    ADD_FAILURE() << "no exception";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "from the helper DLL");
  }
}

int handler_calls = 0;
void give_up_handler() {
  ++handler_calls;
  std::set_new_handler(nullptr);  // nothing to free: the next failure throws
}

TEST(MsvcStartup, FailedNewCallsTheNewHandlerThenThrowsBadAlloc) {
  constexpr std::size_t too_much = SIZE_MAX / 2;
  std::set_new_handler(give_up_handler);
  EXPECT_THROW(::operator delete(::operator new(too_much)), std::bad_alloc);
  EXPECT_EQ(handler_calls, 1);
  EXPECT_EQ(::operator new(too_much, std::nothrow), nullptr);
  EXPECT_THROW(::operator delete (::operator new (too_much, std::align_val_t{64}), std::align_val_t{64}),
               std::bad_alloc);

  struct alignas(256) Aligned {
    char bytes[256];
  };
  auto* aligned = new Aligned;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(aligned) % 256, 0u);
  delete aligned;
}

}  // namespace
