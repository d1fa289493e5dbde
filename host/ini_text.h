// The reference host's configuration format: INI text read from memory.
//   ; a comment (so is a line starting with #)
//   [Directories]
//   Logs Directory = /var/log/app
// Keys are "Section/Key" (keys before any section, or in [General], have no
// prefix); names and values are trimmed, one pair of double quotes around a
// value is removed, and nothing else is unescaped. A later key wins.
#pragma once

#include <QString>
#include <QVariantMap>

namespace cadence::host {

// False, with a one-line reason naming the line, when a line is neither
// blank, a comment, a [section] nor key=value.
bool parseIniText(const QString& text, QVariantMap* values, QString* reason);

}  // namespace cadence::host
