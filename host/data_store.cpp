// The host's data store.
#include "host/data_store.h"

#include <QDir>
#include <QFileInfo>

#include "cadencehost/vel_query.h"
#include "host/ini_text.h"
#include "host/utf8_text.h"
#include "platform/files.h"
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
  // One opening, through the runtime's descriptor layer (regular files only,
  // never held by a FIFO): the size is checked, the text read and parsed,
  // all from that one descriptor.
  const QString native = QDir::toNativeSeparators(path);
  cadence::port::Files& files = cadence::port::files();
  const int fd = files.open(reinterpret_cast<const char16_t*>(native.utf16()),
                            cadence::port::kO_RDONLY | cadence::port::kO_BINARY, 0);
  if (fd == -1) {
    *reason = QFileInfo(path).exists() ? QStringLiteral("not a readable file") : QStringLiteral("no such file");
    return false;
  }
  const int64_t size = files.seek64(fd, 0, cadence::port::kSeekEnd);
  QByteArray bytes;
  bool whole = size >= 0 && size <= kMaxConfigBytes && files.seek64(fd, 0, cadence::port::kSeekSet) == 0;
  if (whole) {
    bytes.resize(static_cast<int>(size));
    for (int64_t done = 0; whole && done < size;) {
      const int got = files.read(fd, bytes.data() + done, static_cast<unsigned int>(size - done));
      whole = got > 0;
      done += got;
    }
  }
  files.close(fd);
  if (size > kMaxConfigBytes) {
    *reason = QStringLiteral("too large for a configuration file (%1 bytes, at most %2)").arg(size).arg(kMaxConfigBytes);
    return false;
  }
  if (!whole) {
    *reason = QStringLiteral("cannot be read");
    return false;
  }
  const QString notText = whyNotText(bytes);
  if (!notText.isEmpty()) {
    *reason = notText;
    return false;
  }
  const bool byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
  return parseIniText(QString::fromUtf8(bytes.constData() + (byteOrderMark ? 3 : 0),
                                        bytes.size() - (byteOrderMark ? 3 : 0)),
                      values, reason);
}

HostDataStore::HostDataStore(const QVariantMap& values, const QString& tempDirectory,
                             const QString& logsDirectory) {
  QVariantMap all = values;
  if (!all.contains(kLogsDirectoryKey)) all.insert(kLogsDirectoryKey, logsDirectory);
  if (!all.contains(kTempDirectoryKey)) all.insert(kTempDirectoryKey, tempDirectory);
  for (auto it = all.constBegin(); it != all.constEnd(); ++it) {
    texts_.emplace(it.key().toStdString(), std::make_unique<StoredText>(it.value().toString()));
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
