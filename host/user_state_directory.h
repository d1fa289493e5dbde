// Where cadence-host keeps what is the user's own (memory.log, unless the
// configuration names another logs directory): $XDG_STATE_HOME/cadence-host,
// else ~/.local/state/cadence-host; %LOCALAPPDATA%\cadence-host on Windows.
#pragma once

#include <QString>

namespace cadence::host {

// The directory, made if missing (for its owner alone, 0700, on POSIX). On
// POSIX an existing one must be a directory of this user's that no one else
// may write to. Empty when there is no such place or it cannot be had.
QString userStateDirectory();

}  // namespace cadence::host
