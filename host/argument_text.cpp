// Showing arguments in messages.
#include "argument_text.h"

#include "qt/qt_versions.h"

namespace cadence::host {

QString printableArgument(const QString& text) {
  QString shown;
  int characters = 0;
  for (int i = 0; i < text.size(); ++i, ++characters) {
    if (characters == kShownCharacters) return shown + QStringLiteral("...");
    const QChar c = text[i];
    const ushort unit = c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      shown.append(c).append(text[++i]);
    } else if (c == '\t' || c == '\n' || c == '\r') {
      shown.append(c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r");
    } else if (isControlCharacter(unit) || c.isHighSurrogate() || c.isLowSurrogate()) {
      const bool small = unit < 0x80;
      shown.append(QString::fromLatin1(small ? "\\x" : "\\u") +
                   QStringLiteral("%1").arg(unit, small ? 2 : 4, 16, QLatin1Char('0')).toUpper());
    } else {
      shown.append(c);
    }
  }
  return shown;
}

}  // namespace cadence::host
