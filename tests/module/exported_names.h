// The names a module file lets other modules bind to, read from the file
// itself in the system's own format: the ELF dynamic symbol table on POSIX,
// the PE export directory on Windows.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace cadence::test {

// The exported names; an export without a name counts as "#<ordinal>". A
// file that is not of the system's format adds a test failure.
std::set<std::string> exportedNames(const std::vector<char>& file);

}  // namespace cadence::test
