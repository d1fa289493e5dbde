// The four services the reference host offers (error messages to standard
// error, the configuration, the temporary directory, memory figures) and the
// host object that offers them.
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

// A UTF-16 text and the VelString that borrows it, handed out by reference:
// it lives as long as the service.
class StoredText {
 public:
  StoredText() { set(QString()); }  // an empty text, never a null one
  explicit StoredText(const QString& text) { set(text); }
  StoredText(const StoredText&) = delete;
  StoredText& operator=(const StoredText&) = delete;

  // A text holding a NUL is stored empty: handed out, it would be cut short.
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

// INI text: "; comment" or "# comment", "[Section]", "Key = value" read as
// "Section/Key" ([General] and no section: "Key"); names and values trimmed,
// one pair of quotes around a value removed, a later key wins. False, with
// the line named, for any other line.
bool parseIniText(const QString& text, QVariantMap* values, QString* reason);

// The INI file at `path`, from one opening of a regular file of at most
// kMaxConfigBytes of UTF-8 text; false with a one-line reason.
bool readIniFile(const QString& path, QVariantMap* values, QString* reason);

class HostDataStore final : public IDataStore {
 public:
  static constexpr const char* kClassName = "HostDataStore";

  // `values` over the defaults: `logsDirectory` for the logs, `tempDirectory`
  // for temporary files.
  HostDataStore(const QVariantMap& values, const QString& tempDirectory, const QString& logsDirectory);

  // 1 for "1", "true", "yes", "on" or a non-zero number; 0 for "0", "false",
  // "no", "off" or empty; else `defaultValue`.
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

// Offers the four services on `host`: `config` (the values of --config) over
// the default directories for temporary files and for logs.
void offerHostServices(ReferenceHost& host, const QVariantMap& config, const QString& tempDirectory,
                       const QString& logsDirectory);

// A new host offering the four services with `config`, made this program's
// host (g_host). Each call builds its own; none is destroyed, since a module
// keeps references to its services until it is torn down at exit.
ReferenceHost& installReferenceHost(const QVariantMap& config);

}  // namespace cadence::host
