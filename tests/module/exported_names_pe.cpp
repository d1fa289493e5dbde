// Exported names from a 64-bit PE file: the name table of its export
// directory, plus "#<ordinal>" for every exported address without a name.
// Every read is checked against the file's size.
#include "tests/module/exported_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace cadence::test {
namespace {

class Image {
 public:
  explicit Image(const std::vector<char>& file) : file_(file) {}

  template <class T>
  bool read(uint64_t offset, T* value) const {
    if (offset > file_.size() || sizeof(T) > file_.size() - offset) return false;
    std::memcpy(value, file_.data() + offset, sizeof(T));
    return true;
  }
  bool text(uint64_t offset, std::string* out) const {
    if (offset >= file_.size()) return false;
    const char* start = file_.data() + offset;
    const void* nul = std::memchr(start, 0, file_.size() - offset);
    if (!nul) return false;
    out->assign(start, static_cast<const char*>(nul));
    return true;
  }
  // The file offset of a relative virtual address, through the section table.
  bool offsetOf(uint32_t rva, uint64_t* offset) const {
    for (uint16_t i = 0; i < sectionCount; ++i) {
      uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawOffset = 0;
      const uint64_t header = sections + uint64_t{i} * 40;
      if (!read(header + 8, &virtualSize) || !read(header + 12, &virtualAddress) || !read(header + 16, &rawSize) ||
          !read(header + 20, &rawOffset)) {
        return false;
      }
      const uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
      if (rva >= virtualAddress && rva - virtualAddress < span) {
        *offset = uint64_t{rawOffset} + (rva - virtualAddress);
        return true;
      }
    }
    return false;
  }

  uint64_t sections = 0;
  uint16_t sectionCount = 0;

 private:
  const std::vector<char>& file_;
};

}  // namespace

std::set<std::string> exportedNames(const std::vector<char>& file) {
  std::set<std::string> names;
  Image image(file);
  uint32_t pe = 0, signature = 0, exportRva = 0, directoryCount = 0;
  uint16_t optionalSize = 0, magic = 0;
  if (file.size() < 2 || file[0] != 'M' || file[1] != 'Z' || !image.read(0x3C, &pe) || !image.read(pe, &signature) ||
      signature != 0x00004550u || !image.read(uint64_t{pe} + 6, &image.sectionCount) ||
      !image.read(uint64_t{pe} + 20, &optionalSize) || !image.read(uint64_t{pe} + 24, &magic) || magic != 0x20B) {
    ADD_FAILURE() << "not a 64-bit PE file";
    return names;
  }
  const uint64_t optional = uint64_t{pe} + 24;
  image.sections = optional + optionalSize;
  if (!image.read(optional + 108, &directoryCount) || directoryCount < 1 || !image.read(optional + 112, &exportRva) ||
      exportRva == 0) {
    return names;  // exports nothing
  }
  uint64_t directory = 0;
  uint32_t base = 0, functionCount = 0, nameCount = 0, namesRva = 0, ordinalsRva = 0;
  if (!image.offsetOf(exportRva, &directory) || !image.read(directory + 16, &base) ||
      !image.read(directory + 20, &functionCount) || !image.read(directory + 24, &nameCount) ||
      !image.read(directory + 32, &namesRva) || !image.read(directory + 36, &ordinalsRva)) {
    ADD_FAILURE() << "an export directory outside the file";
    return names;
  }
  std::vector<bool> named(functionCount, false);
  uint64_t nameTable = 0, ordinalTable = 0;
  if (nameCount > 0 && (!image.offsetOf(namesRva, &nameTable) || !image.offsetOf(ordinalsRva, &ordinalTable))) {
    ADD_FAILURE() << "export name tables outside the file";
    return names;
  }
  for (uint32_t i = 0; i < nameCount; ++i) {
    uint32_t nameRva = 0;
    uint16_t index = 0;
    uint64_t nameOffset = 0;
    std::string name;
    if (!image.read(nameTable + uint64_t{i} * 4, &nameRva) || !image.read(ordinalTable + uint64_t{i} * 2, &index) ||
        !image.offsetOf(nameRva, &nameOffset) || !image.text(nameOffset, &name)) {
      ADD_FAILURE() << "export name " << i << " outside the file";
      continue;
    }
    names.insert(name);
    if (index < functionCount) named[index] = true;
  }
  for (uint32_t i = 0; i < functionCount; ++i) {
    if (!named[i]) names.insert("#" + std::to_string(base + i));
  }
  return names;
}

}  // namespace cadence::test
