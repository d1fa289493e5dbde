// Reading a module's needed libraries from its ELF dynamic section or its PE
// import directory, with every offset checked against the file's size; from
// a file, only the bytes the headers lead to are read.
#include "host/module_imports.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <QDir>
#include <QRegularExpression>

#include "platform/files.h"

namespace cadence::host {
namespace {

// Little-endian reads that fail instead of reading past the end: over bytes
// in memory, or straight from a file, where only what is asked for is read.
class Bytes {
 public:
  virtual ~Bytes() = default;
  virtual uint64_t size() const = 0;
  // Copies `n` bytes at `offset`, which lie within size(); false when they
  // cannot be had.
  virtual bool copy(uint64_t offset, void* out, size_t n) const = 0;

  template <class T>
  bool read(uint64_t offset, T* value) const {
    if (offset > size() || sizeof(T) > size() - offset) return false;
    return copy(offset, value, sizeof(T));
  }
  // The NUL-terminated text at `offset`, at most `limit` bytes away (and at
  // most kLongestName bytes long).
  bool text(uint64_t offset, uint64_t limit, QString* out) const {
    if (offset >= size()) return false;
    char name[kLongestName];
    const uint64_t room = std::min<uint64_t>({limit, size() - offset, kLongestName});
    if (!copy(offset, name, static_cast<size_t>(room))) return false;
    const void* nul = std::memchr(name, 0, static_cast<size_t>(room));
    if (!nul) return false;
    *out = QString::fromLatin1(name, static_cast<int>(static_cast<const char*>(nul) - name));
    return true;
  }

 private:
  static constexpr uint64_t kLongestName = 1024;
};

class BytesInMemory final : public Bytes {
 public:
  explicit BytesInMemory(const QByteArray& data) : data_(data) {}
  uint64_t size() const override { return static_cast<uint64_t>(data_.size()); }
  bool copy(uint64_t offset, void* out, size_t n) const override {
    std::memcpy(out, data_.constData() + offset, n);
    return true;
  }

 private:
  const QByteArray& data_;
};

// A module file open for reading through the runtime's descriptor layer,
// which opens nothing but a regular file.
class BytesInFile final : public Bytes {
 public:
  explicit BytesInFile(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    fd_ = cadence::port::files().open(reinterpret_cast<const char16_t*>(native.utf16()),
                                      cadence::port::kO_RDONLY | cadence::port::kO_BINARY, 0);
    if (fd_ == -1) return;
    const int64_t end = cadence::port::files().seek64(fd_, 0, cadence::port::kSeekEnd);
    size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
  }
  ~BytesInFile() override {
    if (fd_ != -1) cadence::port::files().close(fd_);
  }
  BytesInFile(const BytesInFile&) = delete;
  BytesInFile& operator=(const BytesInFile&) = delete;

  bool isOpen() const { return fd_ != -1; }
  uint64_t size() const override { return size_; }
  bool copy(uint64_t offset, void* out, size_t n) const override {
    cadence::port::Files& files = cadence::port::files();
    if (files.seek64(fd_, static_cast<int64_t>(offset), cadence::port::kSeekSet) != static_cast<int64_t>(offset)) {
      return false;
    }
    auto* at = static_cast<char*>(out);
    while (n > 0) {
      const int got = files.read(fd_, at, static_cast<unsigned int>(n));
      if (got <= 0) return false;
      at += got;
      n -= static_cast<size_t>(got);
    }
    return true;
  }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
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

// ELF or PE by the first bytes.
bool readImports(const Bytes& file, QStringList* imports, QString* reason) {
  imports->clear();
  char magic[4] = {};
  if (file.read(0, &magic) && std::memcmp(magic, "\x7f" "ELF", 4) == 0) return readElfImports(file, imports, reason);
  if (file.size() >= 2 && file.copy(0, magic, 2) && magic[0] == 'M' && magic[1] == 'Z') {
    return readPeImports(file, imports, reason);
  }
  *reason = QStringLiteral("neither an ELF nor a PE file");
  return false;
}

}  // namespace

bool readModuleImports(const QByteArray& image, QStringList* imports, QString* reason) {
  return readImports(BytesInMemory(image), imports, reason);
}

bool readModuleFileImports(const QString& path, QStringList* imports, QString* reason) {
  imports->clear();
  const BytesInFile file(path);
  if (!file.isOpen()) {
    *reason = QStringLiteral("not a regular file that can be read");
    return false;
  }
  return readImports(file, imports, reason);
}

QtLinkage qtLinkageOf(const QStringList& imports) {
  static const QRegularExpression qtCore(QStringLiteral("^(?:lib)?Qt(\\d+)Core(?:d)?(?:\\.so(?:\\.\\d+)*|\\.dll)$"),
                                         QRegularExpression::CaseInsensitiveOption);
  for (const QString& library : imports) {
    const QRegularExpressionMatch match = qtCore.match(library);
    if (match.hasMatch()) return {match.captured(1).toInt(), library};
  }
  return {};
}

}  // namespace cadence::host
