// The module's export table holds EntryPoint and nothing else, so a host's
// own copy of the runtime can never bind to the module's (or the reverse).
// Reads the module file directly, in the system's format (ELF or PE).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/module/exported_names.h"

namespace {

std::vector<char> readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ModuleExports, OnlyEntryPoint) {
  const std::vector<char> file = readFile(VEL_MODULE_PATH);
  ASSERT_FALSE(file.empty()) << VEL_MODULE_PATH;
  EXPECT_EQ(cadence::test::exportedNames(file), std::set<std::string>{"EntryPoint"});
}

}  // namespace
