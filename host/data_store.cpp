// The host's data store.
#include "host/data_store.h"

#include <QFileInfo>
#include <QSettings>

#include "host/host_query.h"

namespace cadence::host {

bool readIniFile(const QString& path, QVariantMap* values, QString* reason) {
  const QFileInfo file(path);
  if (!file.exists()) {
    *reason = QStringLiteral("no such file");
    return false;
  }
  if (!file.isFile() || !file.isReadable()) {
    *reason = QStringLiteral("not a readable file");
    return false;
  }
  QSettings settings(path, QSettings::IniFormat);
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
  for (auto it = all.cbegin(); it != all.cend(); ++it) {
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
  const QString text = QString::fromStdU16String(it->second->units()).trimmed().toLower();
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
  answerQuery<IDataStore>(this, kClassName, "IDataStore", name, target);
}

}  // namespace cadence::host
