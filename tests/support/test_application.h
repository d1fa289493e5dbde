// The one QCoreApplication of a test program, made on first use and kept for
// the life of the process (timers need it before their first event loop).
#pragma once

#include <QCoreApplication>

#include "base/process_wide.h"

namespace cadence::test {

inline QCoreApplication& testApplication() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static NoDestructor<QCoreApplication> instance(argc, argv);
  return *instance;
}

}  // namespace cadence::test
