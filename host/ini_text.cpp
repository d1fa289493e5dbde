// Parsing the reference host's INI text.
#include "host/ini_text.h"

#include <QStringList>

namespace cadence::host {

bool parseIniText(const QString& text, QVariantMap* values, QString* reason) {
  QVariantMap parsed;
  QString section;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();  // a CR before the line feed goes too
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      section = line.mid(1, line.size() - 2).trimmed();
      if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) section.clear();
      continue;
    }
    const int equals = line.indexOf(QLatin1Char('='));
    const QString key = equals > 0 ? line.left(equals).trimmed() : QString();
    if (key.isEmpty()) {
      *reason = QString::fromLatin1("not a valid INI file (line %1 is neither a [section] nor key=value)").arg(i + 1);
      return false;
    }
    QString value = line.mid(equals + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) {
      value = value.mid(1, value.size() - 2);
    }
    parsed.insert(section.isEmpty() ? key : section + QLatin1Char('/') + key, value);
  }
  *values = parsed;
  return true;
}

}  // namespace cadence::host
