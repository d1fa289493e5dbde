// A new, empty directory for one test, removed with everything in it when
// the object goes; its paths as QStrings (what QTemporaryDir gives on Qt 5
// and 6, on Qt 4 as well).
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include <QString>

#include "tests/support/unique_directory.h"

namespace cadence::test {

class TemporaryDirectory {
 public:
  TemporaryDirectory() : path_(makeUniqueDirectory("cadencehost-test-")) {}
  ~TemporaryDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  bool isValid() const { return !path_.empty(); }
  QString path() const { return text(path_); }
  QString filePath(const QString& name) const { return path() + QLatin1Char('/') + name; }

 private:
  static QString text(const std::filesystem::path& path) {
    const std::u8string units = path.generic_u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(units.data()), static_cast<int>(units.size()));
  }

  std::filesystem::path path_;
};

}  // namespace cadence::test
