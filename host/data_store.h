// "IDataStore" of the reference host: configuration values read once from an
// INI file (--config), over defaults that put the logs directory in the
// user's own state directory and the temporary directory in the system's.
#pragma once

#include <map>
#include <memory>
#include <string>

#include <QString>
#include <QVariantMap>

#include "cadencehost/vel_services.h"
#include "host/live_objects.h"
#include "host/stored_text.h"

namespace cadence::host {

// Keys the module reads.
inline constexpr const char* kLogsDirectoryKey = IDataStore::kLogsDirectoryKey;
inline constexpr const char* kTempDirectoryKey = IDataStore::kTempDirectoryKey;
inline constexpr const char* kUseErrorServiceKey = IDataStore::kUseErrorServiceKey;

// The largest configuration file read; an INI file of a few keys is far smaller.
inline constexpr qint64 kMaxConfigBytes = 1 << 20;

// Reads every key of the INI file at `path` ("Group/Key" names). False, with
// a one-line reason, when the file cannot be read, is not UTF-8 text (a NUL
// byte, or bytes that are not UTF-8), is larger than kMaxConfigBytes, or is
// malformed. An empty file has no keys.
bool readIniFile(const QString& path, QVariantMap* values, QString* reason);

class HostDataStore final : public IDataStore {
 public:
  static constexpr const char* kClassName = "HostDataStore";

  // `values` override the defaults: `logsDirectory` for the logs,
  // `tempDirectory` for temporary files.
  HostDataStore(const QVariantMap& values, const QString& tempDirectory, const QString& logsDirectory);

  // Non-zero for "1", "true", "yes", "on" (any case) or a non-zero number;
  // zero for "0", "false", "no", "off" or empty; `defaultValue` when the key
  // is absent or the text is none of these.
  int32_t getBool(const char* key, int32_t defaultValue) override;
  // The value of `key`, or an empty string when absent. The reference stays
  // valid as long as the store.
  const VelString& getString(const char* key, int32_t flags) override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  // Filled at construction and only read afterwards, so lookups from any
  // thread need no lock.
  std::map<std::string, std::unique_ptr<StoredText>, std::less<>> texts_;
  StoredText missing_;
};

}  // namespace cadence::host
