// The rules for timer names from the command line.
#include "timer_name.h"

#include "argument_text.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

QString upperHex(unsigned value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString checkTimerName(const QString& name, std::string* accepted) {
  for (int i = 0; i < name.size(); ++i) {
    const QChar c = name[i];
    // What the program's arguments hold where their bytes were not UTF-8.
    if (c.unicode() == 0xFFFD) return QStringLiteral("the name is not valid UTF-8 (it holds U+FFFD)");
    if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    if (c.isHighSurrogate() || c.isLowSurrogate()) return QStringLiteral("the name is not valid UTF-8 (an unpaired surrogate)");
    if (isControlCharacter(c.unicode())) {
      return QStringLiteral("the name holds a control character (U+%1)").arg(upperHex(c.unicode(), 4));
    }
  }
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) return QStringLiteral("the name is empty");
  const QByteArray bytes = trimmed.toUtf8();
  if (bytes.size() > kMaxTimerNameBytes) {
    return QStringLiteral("the name is %1 bytes of UTF-8, more than %2").arg(bytes.size()).arg(kMaxTimerNameBytes);
  }
  accepted->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return QString();
}

}  // namespace cadence::host
