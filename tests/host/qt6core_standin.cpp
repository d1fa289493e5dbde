// A stand-in for Qt 6's core library on Windows, where this compiler has no
// Qt 6: it exports the one function the other-Qt test module calls, so that
// module names Qt6Core.dll among its imports.
extern "C" __declspec(dllexport) const char* qVersion() noexcept { return "6 (stand-in)"; }
