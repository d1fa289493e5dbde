// Running one check in a process of its own: the parent starts this very
// program again with a hidden argument naming the check (a new run, not a
// fork, so it works the same on Windows and under wine) and reads the
// verdict line the child prints. A child that crashes, hangs or ends without
// a verdict fails its check.
#pragma once

#include <cstdio>
#include <string>

#include "validate/checks.h"

namespace cadence::host::validate {

// The hidden arguments of a child run.
inline constexpr const char* kRunCheckOption = "--run-check";
inline constexpr const char* kWithoutInstancesOption = "--without-instances";

inline constexpr int kCheckTimeLimitMs = 60000;

// Parent: the verdict of `check` on `subject`, from a child run of
// `program` (this program's own file).
Verdict runCheckInChild(const QString& program, const Check& check, const CheckSubject& subject);

// Child: runs `check` here and prints its verdict line to `out`. The
// process's status: 0 when the verdict was printed.
int runCheckHere(const Check& check, const CheckSubject& subject, std::FILE* out);

}  // namespace cadence::host::validate
