// The reference host's services.
#include "host_services.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "cadencehost/vel_query.h"
#include "qt/qt_versions.h"

namespace cadence::host {

void StoredText::set(const QString& text) {
  if (text.contains(QChar(0))) {
    units_.clear();
  } else {
    units_.assign(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
  }
  value_ = VelString::borrowing(units_.c_str());
}

std::string utf8Of(const VelString& text) {
  if (!text.text) return {};
  int length = 0;
  while (text.text[length] != u'\0') ++length;
  const QByteArray bytes = qt::fromUtf16(text.text, length).toUtf8();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

HostErrorService::HostErrorService()
    : sink_([](const std::string& line) {
        std::fflush(stdout);  // keep the order of interleaved output readable
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
      }) {}

HostErrorService::HostErrorService(Sink sink) : sink_(std::move(sink)) {}

void HostErrorService::reportError(const VelString& message, int32_t*, const VelBlockArray&) {
  sink_("cadence-host: error service: " + utf8Of(message) + "\n");
}

void HostErrorService::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelErrorService>(this, kClassName, name, target);
}

const VelString& HostDirService::directoryFor(const char* name) {
  if (name && std::strcmp(name, "temp") == 0) return temp_.value();
  return none_.value();
}

void HostDirService::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelDirService>(this, kClassName, name, target);
}

int32_t memoryUnits(uint64_t bytes) {
  const uint64_t units = bytes / static_cast<uint64_t>(VelMM::IVelMManager::kUnitBytes);
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(units > kMax ? kMax : units);
}

HostMemoryManager::HostMemoryManager() : source_(readMemoryFigures) {}

HostMemoryManager::HostMemoryManager(FigureSource source) : source_(std::move(source)) {}

int32_t HostMemoryManager::coreLimit() { return memoryUnits(source_().physicalTotal); }
int32_t HostMemoryManager::swapLimit() { return memoryUnits(source_().swapTotal); }
int32_t HostMemoryManager::swapNow() { return memoryUnits(source_().processSwapped); }
int32_t HostMemoryManager::coreNow() { return memoryUnits(source_().processResident); }

void HostMemoryManager::queryInterface(const char* name, void* target) {
  velAnswerQuery<VelMM::IVelMManager>(this, kClassName, name, target);
}

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

namespace {

// Why the file's bytes are not text for an INI file, or empty. Bytes that
// are not UTF-8 decode to U+FFFD: the text differs from its own round trip
// first at the sequence that was not UTF-8.
QString whyNotText(const QByteArray& bytes, int offset) {
  const int nul = bytes.indexOf('\0');
  if (nul >= 0) return QStringLiteral("not a text file (a NUL byte at offset %1)").arg(offset + nul);
  const QByteArray again = QString::fromUtf8(bytes.constData(), bytes.size()).toUtf8();
  if (again == bytes) return QString();
  int at = 0;
  while (at < bytes.size() && at < again.size() && bytes[at] == again[at]) ++at;
  while (at > 0 && (static_cast<unsigned char>(again[at]) & 0xC0) == 0x80) --at;  // to the sequence's start
  return QStringLiteral("not UTF-8 text (byte 0x%1 at offset %2)")
      .arg(QStringLiteral("%1").arg(static_cast<unsigned char>(bytes[at]), 2, 16, QLatin1Char('0')).toUpper())
      .arg(offset + at);
}

}  // namespace

bool readIniFile(const QString& path, QVariantMap* values, QString* reason) {
  // One opening of a regular file (never held by a FIFO): the size is
  // checked, the text read and parsed, all from that one opening.
  const RegularFile file(path);
  if (!file.isOpen()) {
    *reason = QFileInfo(path).exists() ? QStringLiteral("not a readable file") : QStringLiteral("no such file");
    return false;
  }
  const uint64_t size = file.size();
  if (size > static_cast<uint64_t>(kMaxConfigBytes)) {
    *reason = QStringLiteral("too large for a configuration file (%1 bytes, at most %2)")
                  .arg(static_cast<qulonglong>(size))
                  .arg(kMaxConfigBytes);
    return false;
  }
  QByteArray bytes(static_cast<int>(size), '\0');
  if (!file.readAt(0, bytes.data(), static_cast<size_t>(size))) {
    *reason = QStringLiteral("cannot be read");
    return false;
  }
  const int bom = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;  // a byte-order mark is UTF-8 too
  const QByteArray text = bytes.mid(bom);
  const QString notText = whyNotText(text, bom);
  if (!notText.isEmpty()) {
    *reason = notText;
    return false;
  }
  return parseIniText(QString::fromUtf8(text.constData(), text.size()), values, reason);
}

HostDataStore::HostDataStore(const QVariantMap& values, const QString& tempDirectory, const QString& logsDirectory) {
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

void offerHostServices(ReferenceHost& host, const QVariantMap& config, const QString& tempDirectory,
                       const QString& logsDirectory) {
  host.offer<IVelErrorService>(IVelErrorService::kInterfaceName, new HostErrorService());
  host.offer<IDataStore>(IDataStore::kInterfaceName, new HostDataStore(config, tempDirectory, logsDirectory));
  host.offer<IVelDirService>(IVelDirService::kInterfaceName, new HostDirService(tempDirectory));
  host.offer<VelMM::IVelMManager>(VelMM::IVelMManager::kInterfaceName, new HostMemoryManager());
}

ReferenceHost& installReferenceHost(const QVariantMap& config) {
  auto* host = new ReferenceHost();
  // memory.log goes to a directory of the user's own, never to the shared
  // temporary directory where anyone may have planted something.
  offerHostServices(*host, config, QDir::toNativeSeparators(QDir::tempPath()), userStateDirectory());
  g_host = host;
  return *host;
}

}  // namespace cadence::host
