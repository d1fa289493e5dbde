// A loadable library without EntryPoint, for the host's loader tests.
extern "C" __attribute__((visibility("default"))) int notTheEntryPoint() { return 1; }
