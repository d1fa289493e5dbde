// The out-of-memory report as guarded allocation reaches it: installed into
// the allocator's handler slot when the runtime is loaded (the module does it
// first thing; in any other program a load-time static of this file does,
// which the runtime's link options always pull in).
#pragma once

namespace cadence::report {

void installOutOfMemoryReport();

}  // namespace cadence::report
