// Exported names from an ELF file: the defined, non-local, non-hidden
// symbols of its dynamic symbol table.
#include "tests/module/exported_names.h"

#include <elf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace cadence::test {
namespace {

template <class T>
const T* at(const std::vector<char>& file, uint64_t offset) {
  if (offset + sizeof(T) > file.size()) return nullptr;
  return reinterpret_cast<const T*>(file.data() + offset);
}

}  // namespace

std::set<std::string> exportedNames(const std::vector<char>& file) {
  std::set<std::string> names;
  const auto* header = at<Elf64_Ehdr>(file, 0);
  if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
      header->e_ident[EI_CLASS] != ELFCLASS64) {
    ADD_FAILURE() << "not a 64-bit ELF file";
    return names;
  }
  for (unsigned i = 0; i < header->e_shnum; ++i) {
    const auto* section = at<Elf64_Shdr>(file, header->e_shoff + uint64_t{i} * header->e_shentsize);
    if (!section || section->sh_type != SHT_DYNSYM) continue;
    const auto* strings =
        at<Elf64_Shdr>(file, header->e_shoff + uint64_t{section->sh_link} * header->e_shentsize);
    if (!strings) continue;
    const uint64_t count = section->sh_size / sizeof(Elf64_Sym);
    for (uint64_t k = 1; k < count; ++k) {
      const auto* symbol = at<Elf64_Sym>(file, section->sh_offset + k * sizeof(Elf64_Sym));
      if (!symbol || symbol->st_shndx == SHN_UNDEF) continue;
      const unsigned bind = ELF64_ST_BIND(symbol->st_info);
      if (bind == STB_LOCAL) continue;
      if (ELF64_ST_VISIBILITY(symbol->st_other) == STV_HIDDEN) continue;
      if (strings->sh_offset + symbol->st_name >= file.size()) continue;
      names.insert(file.data() + strings->sh_offset + symbol->st_name);
    }
  }
  return names;
}

}  // namespace cadence::test
