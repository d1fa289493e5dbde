// Reading a module's needed libraries from its ELF dynamic section or its PE
// import directory, with every offset checked against the file's size.
#include "host/module_imports.h"

#include <cstdint>
#include <cstring>
#include <regex>
#include <string>

#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

// Little-endian reads that fail instead of reading past the end.
class Bytes {
 public:
  explicit Bytes(const QByteArray& data) : data_(data) {}
  template <class T>
  bool read(uint64_t offset, T* value) const {
    if (offset > size() || sizeof(T) > size() - offset) return false;
    std::memcpy(value, data_.constData() + offset, sizeof(T));
    return true;
  }
  // The NUL-terminated text at `offset`, at most `limit` bytes away.
  bool text(uint64_t offset, uint64_t limit, QString* out) const {
    if (offset >= size()) return false;
    const uint64_t end = limit < size() - offset ? offset + limit : size();
    const char* start = data_.constData() + offset;
    const void* nul = std::memchr(start, 0, end - offset);
    if (!nul) return false;
    *out = QString::fromLatin1(start, static_cast<const char*>(nul) - start);
    return true;
  }
  uint64_t size() const { return static_cast<uint64_t>(data_.size()); }

 private:
  const QByteArray& data_;
};

constexpr uint32_t kSectionDynamic = 6;  // SHT_DYNAMIC
constexpr int64_t kDynamicNeeded = 1;    // DT_NEEDED
constexpr uint64_t kMaxEntries = 1 << 16;

bool readElfImports(const Bytes& file, QStringList* imports, QString* reason) {
  uint8_t ident[6];
  if (!file.read(0, &ident) || ident[4] != 2 || ident[5] != 1) {
    *reason = QStringLiteral("not a 64-bit little-endian ELF file");
    return false;
  }
  uint64_t sectionTable = 0;
  uint16_t entrySize = 0, sectionCount = 0;
  if (!file.read(0x28, &sectionTable) || !file.read(0x3A, &entrySize) || !file.read(0x3C, &sectionCount) ||
      entrySize < 64) {
    *reason = QStringLiteral("truncated ELF header");
    return false;
  }
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t header = sectionTable + uint64_t{i} * entrySize;
    uint32_t type = 0, link = 0;
    uint64_t offset = 0, size = 0;
    if (!file.read(header + 4, &type) || !file.read(header + 24, &offset) || !file.read(header + 32, &size) ||
        !file.read(header + 40, &link)) {
      break;
    }
    if (type != kSectionDynamic) continue;
    uint64_t stringsOffset = 0, stringsSize = 0;
    const uint64_t stringsHeader = sectionTable + uint64_t{link} * entrySize;
    if (link >= sectionCount || !file.read(stringsHeader + 24, &stringsOffset) ||
        !file.read(stringsHeader + 32, &stringsSize)) {
      break;
    }
    for (uint64_t entry = 0; entry < size / 16 && entry < kMaxEntries; ++entry) {
      int64_t tag = 0;
      uint64_t value = 0;
      if (!file.read(offset + entry * 16, &tag) || !file.read(offset + entry * 16 + 8, &value)) break;
      if (tag == 0) break;
      QString name;
      if (tag == kDynamicNeeded && value < stringsSize &&
          file.text(stringsOffset + value, stringsSize - value, &name)) {
        *imports << name;
      }
    }
    return true;
  }
  *reason = QStringLiteral("an ELF file without a readable dynamic section");
  return false;
}

// The file offset of a relative virtual address, through the section table.
bool fileOffsetOf(const Bytes& file, uint64_t sections, uint16_t count, uint32_t rva, uint64_t* offset) {
  for (uint16_t i = 0; i < count; ++i) {
    uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawOffset = 0;
    const uint64_t header = sections + uint64_t{i} * 40;
    if (!file.read(header + 8, &virtualSize) || !file.read(header + 12, &virtualAddress) ||
        !file.read(header + 16, &rawSize) || !file.read(header + 20, &rawOffset)) {
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

bool readPeImports(const Bytes& file, QStringList* imports, QString* reason) {
  uint32_t peOffset = 0, signature = 0;
  uint16_t sectionCount = 0, optionalSize = 0, magic = 0;
  if (!file.read(0x3C, &peOffset) || !file.read(peOffset, &signature) || signature != 0x00004550u ||
      !file.read(uint64_t{peOffset} + 6, &sectionCount) || !file.read(uint64_t{peOffset} + 20, &optionalSize) ||
      !file.read(uint64_t{peOffset} + 24, &magic) || magic != 0x20B) {
    *reason = QStringLiteral("not a 64-bit PE image");
    return false;
  }
  const uint64_t optional = uint64_t{peOffset} + 24;
  uint32_t directoryCount = 0, importRva = 0;
  if (!file.read(optional + 108, &directoryCount) || directoryCount < 2 || !file.read(optional + 120, &importRva)) {
    *reason = QStringLiteral("a PE image without an import directory");
    return false;
  }
  const uint64_t sections = optional + optionalSize;
  uint64_t descriptor = 0;
  if (importRva == 0) return true;  // imports nothing
  if (!fileOffsetOf(file, sections, sectionCount, importRva, &descriptor)) {
    *reason = QStringLiteral("a PE image whose import directory lies outside its sections");
    return false;
  }
  for (uint64_t i = 0; i < kMaxEntries; ++i, descriptor += 20) {
    uint32_t nameRva = 0;
    if (!file.read(descriptor + 12, &nameRva) || nameRva == 0) break;
    uint64_t nameOffset = 0;
    QString name;
    if (fileOffsetOf(file, sections, sectionCount, nameRva, &nameOffset) && file.text(nameOffset, 256, &name)) {
      *imports << name;
    }
  }
  return true;
}

}  // namespace

bool readModuleImports(const QByteArray& image, QStringList* imports, QString* reason) {
  imports->clear();
  const Bytes file(image);
  if (image.startsWith("\x7f" "ELF")) return readElfImports(file, imports, reason);
  if (image.startsWith("MZ")) return readPeImports(file, imports, reason);
  *reason = QStringLiteral("neither an ELF nor a PE file");
  return false;
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

}  // namespace cadence::host
