// Reading ELF and PE module images with every offset checked.
#include "module_image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "host_os.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

constexpr uint64_t kMaxEntries = 1 << 20;
constexpr uint64_t kLongestText = 1024;

// Little-endian reads of an image in memory or in a file that fail instead
// of reading past its end.
class ImageBytes {
 public:
  explicit ImageBytes(const QByteArray& data) : data_(&data), size_(static_cast<uint64_t>(data.size())) {}
  explicit ImageBytes(const RegularFile& file) : file_(&file), size_(file.size()) {}

  uint64_t size() const { return size_; }
  bool copy(uint64_t offset, void* out, size_t n) const {
    if (offset > size_ || n > size_ - offset) return false;
    if (file_) return file_->readAt(offset, out, n);
    std::memcpy(out, data_->constData() + offset, n);
    return true;
  }
  template <class T>
  bool read(uint64_t offset, T* value) const {
    return copy(offset, value, sizeof(T));
  }
  // The NUL-terminated text at `offset`, at most `limit` bytes away.
  bool text(uint64_t offset, uint64_t limit, QString* out) const {
    char name[kLongestText];
    if (offset >= size_) return false;
    const uint64_t room = std::min<uint64_t>({limit, size_ - offset, kLongestText});
    if (!copy(offset, name, static_cast<size_t>(room))) return false;
    const void* nul = std::memchr(name, 0, static_cast<size_t>(room));
    if (!nul) return false;
    *out = QString::fromLatin1(name, static_cast<int>(static_cast<const char*>(nul) - name));
    return true;
  }
  bool isElf() const {
    char magic[4] = {};
    return read(0, &magic) && std::memcmp(magic,
                                          "\x7f"
                                          "ELF",
                                          4) == 0;
  }
  bool isPe() const {
    char magic[2] = {};
    return read(0, &magic) && magic[0] == 'M' && magic[1] == 'Z';
  }

 private:
  const QByteArray* data_ = nullptr;
  const RegularFile* file_ = nullptr;
  uint64_t size_;
};

// ELF: the section header table, and one section's header.
struct ElfSections {
  uint64_t table = 0;
  uint16_t entrySize = 0;
  uint16_t count = 0;
};

struct ElfSection {
  uint32_t type = 0;
  uint32_t link = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
};

bool readElfSections(const ImageBytes& file, ElfSections* sections, QString* reason) {
  uint8_t ident[6];
  if (!file.read(0, &ident) || ident[4] != 2 || ident[5] != 1) {
    *reason = QStringLiteral("not a 64-bit little-endian ELF file");
    return false;
  }
  if (!file.read(0x28, &sections->table) || !file.read(0x3A, &sections->entrySize) ||
      !file.read(0x3C, &sections->count) || sections->entrySize < 64) {
    *reason = QStringLiteral("truncated ELF header");
    return false;
  }
  return true;
}

bool readElfSection(const ImageBytes& file, const ElfSections& sections, uint32_t index, ElfSection* section) {
  const uint64_t header = sections.table + uint64_t{index} * sections.entrySize;
  return index < sections.count && file.read(header + 4, &section->type) && file.read(header + 24, &section->offset) &&
         file.read(header + 32, &section->size) && file.read(header + 40, &section->link);
}

// Calls `each(section, strings)` for every section of `type` with the string
// table it links to; false with the reason when a header lies outside the file.
template <class Each>
bool forEachElfSection(const ImageBytes& file, uint32_t type, QString* reason, Each each) {
  ElfSections sections;
  if (!readElfSections(file, &sections, reason)) return false;
  for (uint16_t i = 0; i < sections.count; ++i) {
    ElfSection section, strings;
    if (!readElfSection(file, sections, i, &section)) {
      *reason = QStringLiteral("an ELF section header outside the file");
      return false;
    }
    if (section.type != type) continue;
    if (!readElfSection(file, sections, section.link, &strings)) {
      *reason = QStringLiteral("an ELF string table outside the file");
      return false;
    }
    if (!each(section, strings)) return false;
  }
  return true;
}

bool readElfExports(const ImageBytes& file, QStringList* exports, QString* reason) {
  constexpr uint32_t kDynamicSymbols = 11;  // SHT_DYNSYM
  constexpr uint64_t kSymbolSize = 24;      // sizeof(Elf64_Sym)
  return forEachElfSection(file, kDynamicSymbols, reason, [&](const ElfSection& table, const ElfSection& strings) {
    for (uint64_t k = 1; k < table.size / kSymbolSize && k < kMaxEntries; ++k) {  // 0: the null symbol
      const uint64_t symbol = table.offset + k * kSymbolSize;
      uint32_t nameOffset = 0;
      uint8_t info = 0, other = 0;
      uint16_t sectionIndex = 0;
      if (!file.read(symbol, &nameOffset) || !file.read(symbol + 4, &info) || !file.read(symbol + 5, &other) ||
          !file.read(symbol + 6, &sectionIndex)) {
        *reason = QStringLiteral("an ELF symbol outside the file");
        return false;
      }
      // Undefined, local (STB_LOCAL), internal or hidden: not visible outside.
      const uint8_t visibility = other & 3;
      if (sectionIndex == 0 || (info >> 4) == 0 || visibility == 1 || visibility == 2) continue;
      QString name;
      if (nameOffset >= strings.size || !file.text(strings.offset + nameOffset, strings.size - nameOffset, &name)) {
        *reason = QStringLiteral("an ELF symbol name outside its string table");
        return false;
      }
      *exports << name;
    }
    return true;
  });
}

bool readElfImports(const ImageBytes& file, QStringList* imports, QString* reason) {
  constexpr uint32_t kDynamic = 6;  // SHT_DYNAMIC
  constexpr int64_t kNeeded = 1;    // DT_NEEDED
  bool found = false;
  const bool read =
      forEachElfSection(file, kDynamic, reason, [&](const ElfSection& dynamic, const ElfSection& strings) {
        found = true;
        for (uint64_t entry = 0; entry < dynamic.size / 16 && entry < kMaxEntries; ++entry) {
          int64_t tag = 0;
          uint64_t value = 0;
          if (!file.read(dynamic.offset + entry * 16, &tag) || !file.read(dynamic.offset + entry * 16 + 8, &value) ||
              tag == 0) {
            break;
          }
          QString name;
          if (tag == kNeeded && value < strings.size &&
              file.text(strings.offset + value, strings.size - value, &name)) {
            *imports << name;
          }
        }
        return true;
      });
  if (read && !found) *reason = QStringLiteral("an ELF file without a readable dynamic section");
  return read && found;
}

// PE: where the optional header and the section table are.
struct PeLayout {
  uint64_t optionalHeader = 0;
  uint64_t sections = 0;
  uint16_t sectionCount = 0;
};

bool readPeLayout(const ImageBytes& file, PeLayout* layout, QString* reason) {
  uint32_t peOffset = 0, signature = 0;
  uint16_t optionalSize = 0, magic = 0;
  if (!file.read(0x3C, &peOffset) || !file.read(peOffset, &signature) || signature != 0x00004550u ||
      !file.read(uint64_t{peOffset} + 6, &layout->sectionCount) || !file.read(uint64_t{peOffset} + 20, &optionalSize) ||
      !file.read(uint64_t{peOffset} + 24, &magic) || magic != 0x20B) {
    *reason = QStringLiteral("not a 64-bit PE image");
    return false;
  }
  layout->optionalHeader = uint64_t{peOffset} + 24;
  layout->sections = layout->optionalHeader + optionalSize;
  return true;
}

// The file offset of a relative virtual address, through the section table.
bool peFileOffset(const ImageBytes& file, const PeLayout& layout, uint32_t rva, uint64_t* offset) {
  for (uint16_t i = 0; i < layout.sectionCount; ++i) {
    uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawOffset = 0;
    const uint64_t header = layout.sections + uint64_t{i} * 40;
    if (!file.read(header + 8, &virtualSize) || !file.read(header + 12, &virtualAddress) ||
        !file.read(header + 16, &rawSize) || !file.read(header + 20, &rawOffset)) {
      return false;
    }
    const uint32_t span = std::max(virtualSize, rawSize);
    if (rva >= virtualAddress && rva - virtualAddress < span) {
      *offset = uint64_t{rawOffset} + (rva - virtualAddress);
      return true;
    }
  }
  return false;
}

bool readPeExports(const ImageBytes& file, QStringList* exports, QString* reason) {
  PeLayout pe;
  if (!readPeLayout(file, &pe, reason)) return false;
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
      (nameCount > 0 &&
       (!peFileOffset(file, pe, namesRva, &names) || !peFileOffset(file, pe, ordinalsRva, &ordinals)))) {
    *reason = QStringLiteral("a PE export directory outside the file");
    return false;
  }
  std::vector<bool> named(functionCount, false);
  for (uint32_t i = 0; i < nameCount; ++i) {
    uint32_t nameRva = 0;
    uint16_t index = 0;
    uint64_t nameOffset = 0;
    QString name;
    if (!file.read(names + uint64_t{i} * 4, &nameRva) || !file.read(ordinals + uint64_t{i} * 2, &index) ||
        !peFileOffset(file, pe, nameRva, &nameOffset) || !file.text(nameOffset, kLongestText, &name)) {
      *reason = QStringLiteral("a PE export name outside the file");
      return false;
    }
    *exports << name;
    if (index < functionCount) named[index] = true;
  }
  for (uint32_t i = 0; i < functionCount; ++i) {
    uint32_t address = 0;
    if (named[i] || !file.read(functions + uint64_t{i} * 4, &address) || address == 0) continue;  // 0: unused slot
    *exports << QStringLiteral("#%1").arg(base + i);
  }
  return true;
}

// The library names, and with `symbols` the names imported by name too.
bool readPeImports(const ImageBytes& file, QStringList* imports, QString* reason, QStringList* symbols = nullptr) {
  PeLayout pe;
  if (!readPeLayout(file, &pe, reason)) return false;
  uint32_t directoryCount = 0, importRva = 0;
  uint64_t descriptor = 0;
  if (!file.read(pe.optionalHeader + 108, &directoryCount) || directoryCount < 2 ||
      !file.read(pe.optionalHeader + 120, &importRva)) {
    *reason = QStringLiteral("a PE image without an import directory");
    return false;
  }
  if (importRva == 0) return true;  // imports nothing
  if (!peFileOffset(file, pe, importRva, &descriptor)) {
    *reason = QStringLiteral("a PE image whose import directory lies outside its sections");
    return false;
  }
  uint64_t symbolsRead = 0;
  for (uint64_t i = 0; i < kMaxEntries; ++i, descriptor += 20) {
    uint32_t nameRva = 0, lookupRva = 0;
    uint64_t nameOffset = 0, lookup = 0;
    QString name;
    if (!file.read(descriptor + 12, &nameRva) || nameRva == 0) break;
    if (peFileOffset(file, pe, nameRva, &nameOffset) && file.text(nameOffset, 256, &name)) *imports << name;
    // The lookup table (the address table when there is none): 8-byte
    // entries, each an ordinal (top bit set) or the address of a hint and a name.
    if (!symbols || !file.read(descriptor, &lookupRva) || (lookupRva == 0 && !file.read(descriptor + 16, &lookupRva)) ||
        !peFileOffset(file, pe, lookupRva, &lookup)) {
      continue;
    }
    for (; symbolsRead < kMaxEntries; lookup += 8, ++symbolsRead) {
      uint64_t entry = 0, hint = 0;
      QString symbol;
      if (!file.read(lookup, &entry) || entry == 0) break;
      if (!(entry >> 63) && peFileOffset(file, pe, static_cast<uint32_t>(entry), &hint) &&
          file.text(hint + 2, kLongestText, &symbol)) {
        *symbols << name + QLatin1Char('!') + symbol;
      }
    }
  }
  return true;
}

bool readExports(const ImageBytes& file, QStringList* exports, QString* reason) {
  exports->clear();
  bool read = false;
  if (file.isElf()) {
    read = readElfExports(file, exports, reason);
  } else if (file.isPe()) {
    read = readPeExports(file, exports, reason);
  } else {
    *reason = QStringLiteral("neither an ELF nor a PE file");
  }
  exports->removeDuplicates();
  exports->sort();
  return read;
}

bool readImports(const ImageBytes& file, QStringList* imports, QString* reason) {
  imports->clear();
  if (file.isElf()) return readElfImports(file, imports, reason);
  if (file.isPe()) return readPeImports(file, imports, reason);
  *reason = QStringLiteral("neither an ELF nor a PE file");
  return false;
}

// `read(image, names, reason)` on the regular file at `path`.
template <class Read>
bool readFromFile(const QString& path, QStringList* names, QString* reason, Read read) {
  names->clear();
  const RegularFile file(path);
  if (!file.isOpen()) {
    *reason = QStringLiteral("not a regular file that can be read");
    return false;
  }
  return read(ImageBytes(file), names, reason);
}

bool readImportedSymbols(const ImageBytes& file, QStringList* symbols, QString* reason) {
  if (!file.isPe()) {
    *reason = QStringLiteral("not a PE image");
    return false;
  }
  QStringList libraries;
  return readPeImports(file, &libraries, reason, symbols);
}

}  // namespace

bool readModuleExports(const QByteArray& image, QStringList* exports, QString* reason) {
  return readExports(ImageBytes(image), exports, reason);
}

bool readModuleFileExports(const QString& path, QStringList* exports, QString* reason) {
  return readFromFile(path, exports, reason, readExports);
}

bool readModuleImports(const QByteArray& image, QStringList* imports, QString* reason) {
  return readImports(ImageBytes(image), imports, reason);
}

bool readModuleFileImports(const QString& path, QStringList* imports, QString* reason) {
  return readFromFile(path, imports, reason, readImports);
}

bool readModuleFileImportedSymbols(const QString& path, QStringList* symbols, QString* reason) {
  return readFromFile(path, symbols, reason, readImportedSymbols);
}

QtLinkage qtLinkageOf(const QStringList& imports) {
  // Qt 5 and 6 name the major after "Qt" (libQt5Core.so.5, Qt6Core.dll);
  // Qt 4 after the name on Windows (QtCore4.dll) and in the version on Linux
  // (libQtCore.so.4).
  static const std::regex qtCore(R"(^(?:lib)?qt(\d*)cored?(\d*)(?:\.so(?:\.(\d+)(?:\.\d+)*)?|\.dll)$)",
                                 std::regex::icase);
  for (const QString& library : imports) {
    const std::string name = library.toStdString();
    std::smatch match;
    if (!std::regex_match(name, match, qtCore)) continue;
    for (int group = 1; group <= 3; ++group) {
      if (match[group].length() > 0 && match[group].length() < 4) return {std::stoi(match[group].str()), library};
    }
    return {4, library};  // libQtCore.so: Qt 4's name without its version
  }
  return {};
}

const char* familyName(CompilerFamily family) {
  switch (family) {
    case CompilerFamily::kGnu: return "GCC-compatible (Itanium C++ ABI)";
    case CompilerFamily::kMsvc: return "MSVC-compatible (MSVC C++ ABI)";
    case CompilerFamily::kUnknown: break;
  }
  return "not known";
}

CompilerFamily thisProgramFamily() { return VEL_HOST_MSVC_ABI ? CompilerFamily::kMsvc : CompilerFamily::kGnu; }

CompilerFamily moduleFileFamily(const QString& path) {
  const RegularFile file(path);
  const ImageBytes image(file);
  if (!file.isOpen()) return CompilerFamily::kUnknown;
  if (image.isElf()) return CompilerFamily::kGnu;
  QStringList libraries, symbols;
  QString reason;
  if (!image.isPe() || !readPeImports(image, &libraries, &reason, &symbols)) return CompilerFamily::kUnknown;
  for (const QString& imported : symbols) {
    const QString symbol = imported.section(QLatin1Char('!'), 1);
    if (symbol.startsWith(QLatin1Char('?'))) return CompilerFamily::kMsvc;
    if (symbol.startsWith(QLatin1String("_Z"))) return CompilerFamily::kGnu;
  }
  for (const QString& library : libraries) {
    const QString name = library.toLower();
    for (const char* msvc : {"vcruntime", "ucrtbase", "api-ms-win-crt-", "msvcp"}) {
      if (name.startsWith(QLatin1String(msvc))) return CompilerFamily::kMsvc;
    }
    for (const char* gnu : {"libstdc++", "libgcc", "libwinpthread"}) {
      if (name.startsWith(QLatin1String(gnu))) return CompilerFamily::kGnu;
    }
    if (name == QLatin1String("msvcrt.dll")) return CompilerFamily::kGnu;
  }
  return CompilerFamily::kUnknown;
}

}  // namespace cadence::host
