// The sanitizers' settings for the test programs, the soak and the fuzzers,
// read by their runtimes at start, so no environment needs setting: leaks
// are reported, and the first report of any kind ends the program with its
// stack. There are no suppressions. Only objects this runtime keeps on
// purpose for the whole run may ever be one, each with its reason (today
// every one stays reachable from a global, which LeakSanitizer does not
// report); for ThreadSanitizer only code outside the project (the system's
// Qt, not built with it). Without a sanitizer these are unused.
// The soak (VEL_SOAK_QUARANTINE) judges the resident set: AddressSanitizer's
// quarantine of freed memory (256 MB by default) would fill for minutes and
// look like growth; a small one fills within the warm-up and still catches a
// use of memory just freed.
#if defined(VEL_SOAK_QUARANTINE)
#define VEL_ASAN_QUARANTINE ":quarantine_size_mb=1"
#else
#define VEL_ASAN_QUARANTINE ""
#endif

// The runtimes look the settings up among the program's exported symbols,
// which the build hides by default.
#if defined(__GNUC__) && !defined(_WIN32)
#define VEL_SANITIZER_SETTINGS __attribute__((visibility("default"), used))
#else
#define VEL_SANITIZER_SETTINGS
#endif

extern "C" {
VEL_SANITIZER_SETTINGS const char* __asan_default_options() {
  return "detect_leaks=1:check_initialization_order=1" VEL_ASAN_QUARANTINE;
}
VEL_SANITIZER_SETTINGS const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
VEL_SANITIZER_SETTINGS const char* __tsan_default_options() { return "halt_on_error=1:second_deadlock_stack=1"; }
}
