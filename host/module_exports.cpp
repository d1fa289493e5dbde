// Reading a module's exported names from its ELF dynamic symbol table or its
// PE export directory, with every offset checked against the file's size.
#include "host/module_exports.h"

#include <cstdint>
#include <vector>

#include "host/image_bytes.h"

namespace cadence::host {
namespace {

constexpr uint32_t kSectionDynamicSymbols = 11;  // SHT_DYNSYM
constexpr uint64_t kElfSymbolSize = 24;          // sizeof(Elf64_Sym)
constexpr uint8_t kBindLocal = 0;                // STB_LOCAL
constexpr uint8_t kVisibilityInternal = 1;       // STV_INTERNAL
constexpr uint8_t kVisibilityHidden = 2;         // STV_HIDDEN
constexpr uint64_t kMaxEntries = 1 << 20;
constexpr uint64_t kMaxNameBytes = 4096;

bool readElfExports(const ImageBytes& file, QStringList* exports, QString* reason) {
  uint8_t ident[6];
  uint64_t sectionTable = 0;
  uint16_t entrySize = 0, sectionCount = 0;
  if (!file.read(0, &ident) || ident[4] != 2 || ident[5] != 1) {
    *reason = QString::fromLatin1("not a 64-bit little-endian ELF file");
    return false;
  }
  if (!file.read(0x28, &sectionTable) || !file.read(0x3A, &entrySize) || !file.read(0x3C, &sectionCount) ||
      entrySize < 64) {
    *reason = QString::fromLatin1("truncated ELF header");
    return false;
  }
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t header = sectionTable + uint64_t{i} * entrySize;
    uint32_t type = 0, link = 0;
    uint64_t offset = 0, size = 0, stringsOffset = 0, stringsSize = 0;
    if (!file.read(header + 4, &type) || type != kSectionDynamicSymbols) continue;
    if (!file.read(header + 24, &offset) || !file.read(header + 32, &size) || !file.read(header + 40, &link) ||
        link >= sectionCount || !file.read(sectionTable + uint64_t{link} * entrySize + 24, &stringsOffset) ||
        !file.read(sectionTable + uint64_t{link} * entrySize + 32, &stringsSize)) {
      *reason = QString::fromLatin1("an ELF dynamic symbol table outside the file");
      return false;
    }
    // Entry 0 is the null symbol.
    for (uint64_t k = 1; k < size / kElfSymbolSize && k < kMaxEntries; ++k) {
      const uint64_t symbol = offset + k * kElfSymbolSize;
      uint32_t nameOffset = 0;
      uint8_t info = 0, other = 0;
      uint16_t sectionIndex = 0;
      if (!file.read(symbol, &nameOffset) || !file.read(symbol + 4, &info) || !file.read(symbol + 5, &other) ||
          !file.read(symbol + 6, &sectionIndex)) {
        *reason = QString::fromLatin1("an ELF symbol outside the file");
        return false;
      }
      const uint8_t visibility = other & 3;
      if (sectionIndex == 0 || (info >> 4) == kBindLocal || visibility == kVisibilityHidden ||
          visibility == kVisibilityInternal) {
        continue;  // undefined, local or not visible outside the module
      }
      QString name;
      if (nameOffset >= stringsSize || !file.text(stringsOffset + nameOffset, stringsSize - nameOffset, &name)) {
        *reason = QString::fromLatin1("an ELF symbol name outside its string table");
        return false;
      }
      *exports << name;
    }
  }
  return true;  // no dynamic symbol table: exports nothing
}

bool readPeExports(const ImageBytes& file, QStringList* exports, QString* reason) {
  PeLayout pe;
  if (!readPeLayout(file, &pe)) {
    *reason = QString::fromLatin1("not a 64-bit PE image");
    return false;
  }
  uint32_t directoryCount = 0, exportRva = 0;
  if (!file.read(pe.optionalHeader + 108, &directoryCount) || directoryCount < 1 ||
      !file.read(pe.optionalHeader + 112, &exportRva) || exportRva == 0) {
    return true;  // exports nothing
  }
  uint64_t directory = 0, functions = 0, names = 0, ordinals = 0;
  uint32_t base = 0, functionCount = 0, nameCount = 0, functionsRva = 0, namesRva = 0, ordinalsRva = 0;
  if (!peFileOffset(file, pe, exportRva, &directory) || !file.read(directory + 16, &base) ||
      !file.read(directory + 20, &functionCount) || !file.read(directory + 24, &nameCount) ||
      !file.read(directory + 28, &functionsRva) || !file.read(directory + 32, &namesRva) ||
      !file.read(directory + 36, &ordinalsRva) || functionCount > kMaxEntries || nameCount > kMaxEntries ||
      (functionCount > 0 && !peFileOffset(file, pe, functionsRva, &functions)) ||
      (nameCount > 0 && (!peFileOffset(file, pe, namesRva, &names) || !peFileOffset(file, pe, ordinalsRva, &ordinals)))) {
    *reason = QString::fromLatin1("a PE export directory outside the file");
    return false;
  }
  std::vector<bool> named(functionCount, false);
  for (uint32_t i = 0; i < nameCount; ++i) {
    uint32_t nameRva = 0;
    uint16_t index = 0;
    uint64_t nameOffset = 0;
    QString name;
    if (!file.read(names + uint64_t{i} * 4, &nameRva) || !file.read(ordinals + uint64_t{i} * 2, &index) ||
        !peFileOffset(file, pe, nameRva, &nameOffset) || !file.text(nameOffset, kMaxNameBytes, &name)) {
      *reason = QString::fromLatin1("a PE export name outside the file");
      return false;
    }
    *exports << name;
    if (index < functionCount) named[index] = true;
  }
  for (uint32_t i = 0; i < functionCount; ++i) {
    uint32_t address = 0;
    if (named[i] || !file.read(functions + uint64_t{i} * 4, &address) || address == 0) continue;  // 0: unused slot
    *exports << QString::fromLatin1("#%1").arg(base + i);
  }
  return true;
}

// The names sorted, each once.
bool readExports(const ImageBytes& file, QStringList* exports, QString* reason) {
  exports->clear();
  bool read = false;
  switch (imageKindOf(file)) {
    case ImageKind::kElf: read = readElfExports(file, exports, reason); break;
    case ImageKind::kPe: read = readPeExports(file, exports, reason); break;
    case ImageKind::kNeither: *reason = QString::fromLatin1(kNeitherElfNorPe); break;
  }
  exports->removeDuplicates();
  exports->sort();
  return read;
}

}  // namespace

bool readModuleExports(const QByteArray& image, QStringList* exports, QString* reason) {
  return readExports(ImageInMemory(image), exports, reason);
}

bool readModuleFileExports(const QString& path, QStringList* exports, QString* reason) {
  return readNamesFromFile(path, exports, reason, readExports);
}

}  // namespace cadence::host
