// The host's data store.
#include "host/data_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

#include "cadencehost/vel_query.h"
#include "host/utf8_text.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

// Why the file's bytes are not text for an INI file, or empty.
QString whyNotText(const QByteArray& bytes) {
  const int nul = bytes.indexOf('\0');
  if (nul >= 0) return QStringLiteral("not a text file (a NUL byte at offset %1)").arg(nul);
  const int64_t invalid = firstInvalidUtf8(bytes.constData(), static_cast<size_t>(bytes.size()));
  if (invalid >= 0) {
    const auto byte = static_cast<unsigned char>(bytes[static_cast<int>(invalid)]);
    return QStringLiteral("not UTF-8 text (byte 0x%1 at offset %2)")
        .arg(QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper())
        .arg(invalid);
  }
  return QString();
}

}  // namespace

bool readIniFile(const QString& path, QVariantMap* values, QString* reason) {
  const QFileInfo info(path);
  if (!info.exists()) {
    *reason = QStringLiteral("no such file");
    return false;
  }
  if (!info.isFile() || !info.isReadable()) {
    *reason = QStringLiteral("not a readable file");
    return false;
  }
  // QSettings reads anything as INI, a shared library included; a
  // configuration file has to be text first.
  QFile file(path);
  if (file.size() > kMaxConfigBytes) {
    *reason = QStringLiteral("too large for a configuration file (%1 bytes, at most %2)")
                  .arg(file.size())
                  .arg(kMaxConfigBytes);
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    *reason = QStringLiteral("cannot be read");
    return false;
  }
  const QByteArray bytes = file.read(kMaxConfigBytes + 1);
  file.close();
  const QString notText = whyNotText(bytes);
  if (!notText.isEmpty()) {
    *reason = notText;
    return false;
  }
  // Qt 4's QSettings takes a UTF-8 byte-order mark for text of the first
  // line: such a file is read from a copy without it.
  QTemporaryFile withoutMark;
  QString settingsPath = path;
  const QByteArray kByteOrderMark("\xEF\xBB\xBF");
  if (bytes.startsWith(kByteOrderMark)) {
    const QByteArray text = bytes.mid(kByteOrderMark.size());
    if (!withoutMark.open() || withoutMark.write(text) != text.size() || !withoutMark.flush()) {
      *reason = QStringLiteral("cannot be read");
      return false;
    }
    withoutMark.close();  // kept until it goes out of scope
    settingsPath = withoutMark.fileName();
  }
  QSettings settings(settingsPath, QSettings::IniFormat);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
  settings.setIniCodec("UTF-8");  // Qt 5 would read the values as Latin-1
#endif
  if (settings.status() != QSettings::NoError) {
    *reason = settings.status() == QSettings::FormatError ? QStringLiteral("not a valid INI file")
                                                          : QStringLiteral("cannot be read");
    return false;
  }
  for (const QString& key : settings.allKeys()) values->insert(key, settings.value(key));
  return true;
}

HostDataStore::HostDataStore(const QVariantMap& values, const QString& tempDirectory) {
  QVariantMap all = values;
  if (!all.contains(kLogsDirectoryKey)) all.insert(kLogsDirectoryKey, tempDirectory);
  if (!all.contains(kTempDirectoryKey)) all.insert(kTempDirectoryKey, tempDirectory);
  for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
    // A value with commas comes back from QSettings as a list; keep its text.
    const QString text = it.value().userType() == QMetaType::QStringList
                             ? it.value().toStringList().join(QStringLiteral(", "))
                             : it.value().toString();
    texts_.emplace(it.key().toStdString(), std::make_unique<StoredText>(text));
  }
}

int32_t HostDataStore::getBool(const char* key, int32_t defaultValue) {
  if (!key) return defaultValue;
  auto it = texts_.find(std::string_view(key));
  if (it == texts_.end()) return defaultValue;
  const QString text = cadence::qt::fromUtf16(it->second->units()).trimmed().toLower();
  if (text == "1" || text == "true" || text == "yes" || text == "on") return 1;
  if (text.isEmpty() || text == "0" || text == "false" || text == "no" || text == "off") return 0;
  bool isNumber = false;
  const qlonglong number = text.toLongLong(&isNumber);
  if (isNumber) return number != 0 ? 1 : 0;
  return defaultValue;
}

const VelString& HostDataStore::getString(const char* key, int32_t) {
  if (!key) return missing_.value();
  auto it = texts_.find(std::string_view(key));
  return it == texts_.end() ? missing_.value() : it->second->value();
}

void HostDataStore::queryInterface(const char* name, void* target) {
  velAnswerQuery<IDataStore>(this, kClassName, name, target);
}

}  // namespace cadence::host
