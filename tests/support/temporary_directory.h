// A new, empty directory for one test, removed with everything in it when
// the object goes; its paths as QStrings (what QTemporaryDir gives on Qt 5
// and 6, on Qt 4 as well).
#pragma once

#include <filesystem>

#include <QString>

#include "tests/support/unique_directory.h"

namespace cadence::test {

class TemporaryDirectory {
 public:
  bool isValid() const { return !directory_.path.empty(); }
  QString path() const { return text(directory_.path); }
  QString filePath(const QString& name) const { return path() + QLatin1Char('/') + name; }

 private:
  static QString text(const std::filesystem::path& path) {
    const std::u8string units = path.generic_u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(units.data()), static_cast<int>(units.size()));
  }

  UniqueDirectory directory_{"cadencehost-test-"};
};

}  // namespace cadence::test
