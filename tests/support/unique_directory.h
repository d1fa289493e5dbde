// A new, empty directory with a name no one else uses, under the system's
// temporary directory: what mkdtemp does, on every system the tests run on;
// one removed with its object; and one that a death test's parent shares
// with its child.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <system_error>

namespace cadence::test {

// `prefix` followed by six random letters or digits; an empty path when no
// such directory could be made.
inline std::filesystem::path makeUniqueDirectory(const std::string& prefix) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    const std::filesystem::path candidate = base / name;
    if (std::filesystem::create_directory(candidate, error)) return candidate;  // false: it existed
    if (error) return {};
  }
  return {};
}

// A unique directory, removed with everything in it when the object goes;
// `path` is empty when none could be made.
class UniqueDirectory {
 public:
  explicit UniqueDirectory(const std::string& prefix) : path(makeUniqueDirectory(prefix)) {}
  ~UniqueDirectory() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  UniqueDirectory(const UniqueDirectory&) = delete;
  UniqueDirectory& operator=(const UniqueDirectory&) = delete;

  const std::filesystem::path path;
};

// A unique directory that a death test's child writes into and its parent
// reads afterwards. The parent makes it and names it in the environment
// variable `variable`; a child that is a new run of the test program
// (Windows) finds it there instead of making one of its own (every copy it
// makes on its way to the death test does), and a forked child (POSIX) has
// the parent's copy anyway. The copy that made the directory clears the
// variable and removes the directory when it goes out of scope.
class DeathTestDirectory {
 public:
  DeathTestDirectory(const std::string& prefix, const char* variable) : variable_(variable) {
    const char* inherited = std::getenv(variable);
    if (inherited && *inherited) {
      path = inherited;
      return;
    }
    path = makeUniqueDirectory(prefix);
    made_ = true;
    setVariable(path.string());
  }
  ~DeathTestDirectory() {
    if (!made_) return;
    setVariable("");  // an empty value counts as unset
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  DeathTestDirectory(const DeathTestDirectory&) = delete;
  DeathTestDirectory& operator=(const DeathTestDirectory&) = delete;

  std::filesystem::path path;

 private:
  void setVariable(const std::string& value) {
    // putenv keeps the text on POSIX: one lasting entry per variable.
    static std::map<std::string, std::string> entries;
    std::string& entry = entries[variable_];
    entry = std::string(variable_) + "=" + value;
    putenv(entry.data());
  }

  const char* variable_;
  bool made_ = false;
};

}  // namespace cadence::test
