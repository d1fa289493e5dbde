// What a timer name given on the command line must be: well-formed UTF-8
// (no U+FFFD, which stands where bytes were not), free of control characters, not empty once spaces around it are trimmed,
// and at most kMaxTimerNameBytes bytes of UTF-8. Names go into every alert
// line and the summary, so anything else would break their columns.
#pragma once

#include <string>

#include <QString>

namespace cadence::host {

inline constexpr int kMaxTimerNameBytes = 256;

// Empty when `name` (as programArguments gives it) is acceptable, and then
// *accepted holds it trimmed, as UTF-8. Otherwise the problem, for example
// "the name holds a control character (U+0009)".
QString checkTimerName(const QString& name, std::string* accepted);

}  // namespace cadence::host
