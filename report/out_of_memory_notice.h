// The out-of-memory notice shown to the user.
#pragma once

#include <cstdint>

namespace cadence::report {

// Shows the out-of-memory notice for reason codes -5..-1; always false.
bool showOutOfMemoryNotice(int32_t reasonCode);

}  // namespace cadence::report
