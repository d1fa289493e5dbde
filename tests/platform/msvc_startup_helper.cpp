// The DLL msvc_startup_test.cpp loads: what the start-up runtime does for a
// DLL (its exit list, its static objects, thread_local in threads started
// after it was loaded) and what crosses from it to the EXE (exceptions, RTTI).
// Its interface is one exported table; the types repeat the test's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "msvc_startup_helper_api.h"

namespace {

HelperCounters* counters = nullptr;

void record(int event) {
  if (counters && counters->event_count < 8) counters->events[counters->event_count++] = event;
}

struct StaticObject {
  ~StaticObject() { record(kStaticDestructor); }
} static_object;

struct ThreadLocalObject {
  int value = GetCurrentThreadId() != 0 ? 42 : 0;  // a dynamic initializer
  ~ThreadLocalObject() {
    if (counters) ++counters->thread_local_destroyed;
  }
};
thread_local ThreadLocalObject thread_local_object;

struct UnwindGuard {
  ~UnwindGuard() { ++counters->unwound; }
};

void watch(HelperCounters* watched) {
  counters = watched;
  std::atexit([] { record(kExitFunction); });  // after static_object: runs before its destructor
}

void throw_error(int code) {
  UnwindGuard guard;
  throw HelperError{code};
}

void throw_runtime_error() { throw std::runtime_error("from the helper DLL"); }

Shape* make_circle() { return new Circle; }

int thread_local_value() { return thread_local_object.value; }

void report_exit_to_stderr() {
  std::atexit([] { std::fputs("helper exit list ran\n", stderr); });
}

const HelperApi api = {watch, throw_error, throw_runtime_error, make_circle, thread_local_value, report_exit_to_stderr};

}  // namespace

extern "C" __declspec(dllexport) const HelperApi* helper_api() { return &api; }
