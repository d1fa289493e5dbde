// The program's global operator new and delete, replaced for the tests that
// count its calls or fail one of them: a program that wants them takes
// replaced_new.cpp among its own sources (never through a library, which
// would hand them to every program).
#pragma once

#include <cstdint>

namespace cadence::test {

// Calls of any form of operator new since the program started.
int64_t operatorNewCalls();

// Asked on each call of operator new before it allocates: true fails the
// call (std::bad_alloc, or null from the nothrow forms).
using OperatorNewFailure = bool (*)();
// Null: no call fails (the start).
void setOperatorNewFailure(OperatorNewFailure fails);

}  // namespace cadence::test
