// The four services the reference host offers: "IVelErrorService" (each
// message as UTF-8 on its own line of standard error), "IDataStore"
// (configuration read once from an INI file over defaults), "IVelDirService"
// ("temp" names the system's temporary directory) and "IVelMManager" (the
// process's real memory use and the machine's limits).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QString>
#include <QVariantMap>

#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "host_os.h"
#include "reference_host.h"

namespace cadence::host {

// A UTF-16 text owned by a service together with the VelString that borrows
// it: services hand the VelString out by reference, so it lives as long as
// the service, and the module copies it before keeping it.
class StoredText {
 public:
  StoredText() { set(QString()); }  // an empty text, never a null one
  explicit StoredText(const QString& text) { set(text); }
  StoredText(const StoredText&) = delete;
  StoredText& operator=(const StoredText&) = delete;

  // A text holding a NUL is stored empty: handed out, it would be cut where
  // the NUL stands (".../ab\0/../etc" read as ".../ab").
  void set(const QString& text);
  const VelString& value() const { return value_; }
  const std::u16string& units() const { return units_; }

 private:
  std::u16string units_;
  VelString value_;  // borrows units_
};

// UTF-8 text of a VelString's content (null text reads as empty).
std::string utf8Of(const VelString& text);

class HostErrorService final : public IVelErrorService {
 public:
  using Sink = std::function<void(const std::string& line)>;
  static constexpr const char* kClassName = "HostErrorService";

  HostErrorService();  // writes to standard error
  explicit HostErrorService(Sink sink);

  void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  Sink sink_;
};

class HostDirService final : public IVelDirService {
 public:
  static constexpr const char* kClassName = "HostDirService";

  explicit HostDirService(const QString& tempDirectory) : temp_(tempDirectory) {}

  const VelString& directoryFor(const char* name) override;  // empty for any name but "temp"
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  StoredText temp_;
  StoredText none_;
};

// Bytes to whole units of IVelMManager, capped at the largest int32_t.
int32_t memoryUnits(uint64_t bytes);

// Figures in units; this host keeps no cache it could give back, so
// freeOneUnit always answers false.
class HostMemoryManager final : public VelMM::IVelMManager {
 public:
  using FigureSource = std::function<MemoryFigures()>;
  static constexpr const char* kClassName = "HostMemoryManager";

  HostMemoryManager();  // reads the live figures at every call
  explicit HostMemoryManager(FigureSource source);

  bool freeOneUnit() override { return false; }
  int32_t coreLimit() override;  // physical memory of the machine
  int32_t swapLimit() override;  // swap of the machine
  int32_t swapNow() override;    // this process's swapped-out memory
  int32_t coreNow() override;    // this process's resident memory
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  FigureSource source_;
};

inline constexpr const char* kLogsDirectoryKey = IDataStore::kLogsDirectoryKey;
inline constexpr const char* kTempDirectoryKey = IDataStore::kTempDirectoryKey;
inline constexpr const char* kUseErrorServiceKey = IDataStore::kUseErrorServiceKey;

// The largest configuration file read; an INI file of a few keys is far smaller.
inline constexpr qint64 kMaxConfigBytes = 1 << 20;

// The configuration format:
//   ; a comment (so is a line starting with #)
//   [Directories]
//   Logs Directory = /var/log/app
// Keys are "Section/Key" (keys before any section, or in [General], have no
// prefix); names and values are trimmed, one pair of double quotes around a
// value is removed, nothing else is unescaped, and a later key wins. False,
// with a one-line reason naming the line, when a line is neither blank, a
// comment, a [section] nor key=value.
bool parseIniText(const QString& text, QVariantMap* values, QString* reason);

// Every key of the INI file at `path`, read from one opening of a regular
// file. False, with a one-line reason, when it cannot be read, is larger
// than kMaxConfigBytes, is not UTF-8 text (a NUL byte, or bytes that are not
// UTF-8), or is malformed. An empty file has no keys.
bool readIniFile(const QString& path, QVariantMap* values, QString* reason);

class HostDataStore final : public IDataStore {
 public:
  static constexpr const char* kClassName = "HostDataStore";

  // `values` over the defaults: `logsDirectory` for the logs, `tempDirectory`
  // for temporary files.
  HostDataStore(const QVariantMap& values, const QString& tempDirectory, const QString& logsDirectory);

  // Non-zero for "1", "true", "yes", "on" (any case) or a non-zero number;
  // zero for "0", "false", "no", "off" or empty; `defaultValue` when the key
  // is absent or the text is none of these.
  int32_t getBool(const char* key, int32_t defaultValue) override;
  // The value of `key`, or an empty string; valid as long as the store.
  const VelString& getString(const char* key, int32_t flags) override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  // Filled at construction and only read afterwards: no lock needed.
  std::map<std::string, std::unique_ptr<StoredText>, std::less<>> texts_;
  StoredText missing_;
};

}  // namespace cadence::host
