// The table msvc_startup_helper.dll exports and the types it shares with
// msvc_startup_test.cpp, outside any anonymous namespace: the two images'
// RTTI records match by name.
#pragma once

struct HelperCounters {
  int events[8];  // what the DLL's exit list and static destructors did, in order
  int event_count;
  int unwound;  // destructors run while an exception left the DLL
  int thread_local_destroyed;
};
enum HelperEvent { kExitFunction = 1, kStaticDestructor = 2 };

struct Shape {
  virtual ~Shape() = default;
  virtual int sides() const = 0;
};
struct Circle : Shape {
  int sides() const override { return 0; }
};
struct HelperError {
  int code;
};

struct HelperApi {
  void (*watch)(HelperCounters*);
  void (*throw_error)(int code);
  void (*throw_runtime_error)();
  Shape* (*make_circle)();
  int (*thread_local_value)();
  void (*report_exit_to_stderr)();
};
