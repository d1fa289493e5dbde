// Reading a module's needed libraries from its ELF dynamic section or its PE
// import directory, with every offset checked against the file's size; from
// a file, only the bytes the headers lead to are read.
#include "host/module_imports.h"

#include <cstdint>
#include <regex>
#include <string>

#include "host/image_bytes.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

using Bytes = ImageBytes;

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

// The library names, and with `symbols` the names imported by name too.
bool readPeImports(const Bytes& file, QStringList* imports, QString* reason, QStringList* symbols = nullptr) {
  PeLayout pe;
  if (!readPeLayout(file, &pe)) {
    *reason = QStringLiteral("not a 64-bit PE image");
    return false;
  }
  const uint64_t optional = pe.optionalHeader;
  uint32_t directoryCount = 0, importRva = 0;
  if (!file.read(optional + 108, &directoryCount) || directoryCount < 2 || !file.read(optional + 120, &importRva)) {
    *reason = QStringLiteral("a PE image without an import directory");
    return false;
  }
  uint64_t descriptor = 0;
  if (importRva == 0) return true;  // imports nothing
  if (!peFileOffset(file, pe, importRva, &descriptor)) {
    *reason = QStringLiteral("a PE image whose import directory lies outside its sections");
    return false;
  }
  uint64_t symbolsRead = 0;
  for (uint64_t i = 0; i < kMaxEntries; ++i, descriptor += 20) {
    uint32_t nameRva = 0;
    if (!file.read(descriptor + 12, &nameRva) || nameRva == 0) break;
    uint64_t nameOffset = 0;
    QString name;
    if (peFileOffset(file, pe, nameRva, &nameOffset) && file.text(nameOffset, 256, &name)) {
      *imports << name;
    }
    // The lookup table: 8-byte entries, each an ordinal (top bit set) or the
    // address of a hint and a name; the address table when there is none.
    uint32_t lookupRva = 0;
    uint64_t lookup = 0;
    if (!symbols || !file.read(descriptor, &lookupRva) || (lookupRva == 0 && !file.read(descriptor + 16, &lookupRva)) ||
        !peFileOffset(file, pe, lookupRva, &lookup)) {
      continue;
    }
    for (; symbolsRead < kMaxEntries; lookup += 8, ++symbolsRead) {
      uint64_t entry = 0;
      if (!file.read(lookup, &entry) || entry == 0) break;
      uint64_t hint = 0;
      QString symbol;
      if (!(entry >> 63) && peFileOffset(file, pe, static_cast<uint32_t>(entry), &hint) &&
          file.text(hint + 2, ImageBytes::kLongestText, &symbol)) {
        *symbols << name + QLatin1Char('!') + symbol;
      }
    }
  }
  return true;
}

bool readImports(const Bytes& file, QStringList* imports, QString* reason) {
  imports->clear();
  switch (imageKindOf(file)) {
    case ImageKind::kElf: return readElfImports(file, imports, reason);
    case ImageKind::kPe: return readPeImports(file, imports, reason);
    case ImageKind::kNeither: break;
  }
  *reason = QString::fromLatin1(kNeitherElfNorPe);
  return false;
}

}  // namespace

bool readModuleImports(const QByteArray& image, QStringList* imports, QString* reason) {
  return readImports(ImageInMemory(image), imports, reason);
}

bool readModuleFileImports(const QString& path, QStringList* imports, QString* reason) {
  return readNamesFromFile(path, imports, reason, readImports);
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

bool readModuleFileImportedSymbols(const QString& path, QStringList* symbols, QString* reason) {
  symbols->clear();
  const ImageFile file(path);
  if (!file.isOpen()) {
    *reason = QString::fromLatin1("not a regular file that can be read");
    return false;
  }
  if (imageKindOf(file) != ImageKind::kPe) {
    *reason = QStringLiteral("not a PE image");
    return false;
  }
  QStringList libraries;
  return readPeImports(file, &libraries, reason, symbols);
}

CompilerFamily moduleFileFamily(const QString& path) {
  const ImageFile file(path);
  if (!file.isOpen()) return CompilerFamily::kUnknown;
  if (imageKindOf(file) == ImageKind::kElf) return CompilerFamily::kGnu;
  QStringList libraries, symbols;
  QString reason;
  if (imageKindOf(file) != ImageKind::kPe || !readPeImports(file, &libraries, &reason, &symbols)) {
    return CompilerFamily::kUnknown;
  }
  for (const QString& imported : symbols) {
    const QString symbol = imported.section(QLatin1Char('!'), 1);
    if (symbol.startsWith(QLatin1Char('?'))) return CompilerFamily::kMsvc;
    if (symbol.startsWith(QLatin1String("_Z"))) return CompilerFamily::kGnu;
  }
  for (const QString& library : libraries) {
    const QString name = library.toLower();
    if (name.startsWith(QLatin1String("vcruntime")) || name.startsWith(QLatin1String("ucrtbase")) ||
        name.startsWith(QLatin1String("api-ms-win-crt-")) || name.startsWith(QLatin1String("msvcp"))) {
      return CompilerFamily::kMsvc;
    }
    if (name == QLatin1String("msvcrt.dll") || name.startsWith(QLatin1String("libstdc++")) ||
        name.startsWith(QLatin1String("libgcc")) || name.startsWith(QLatin1String("libwinpthread"))) {
      return CompilerFamily::kGnu;
    }
  }
  return CompilerFamily::kUnknown;
}

}  // namespace cadence::host
