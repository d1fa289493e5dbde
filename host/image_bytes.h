// Reading a module file's bytes as a structure: little-endian reads that fail
// instead of reading past the end, and the PE layout (headers, sections, the
// file offset of a virtual address) the import and export readers share.
#pragma once

#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QString>

namespace cadence::host {

class ImageBytes {
 public:
  explicit ImageBytes(const QByteArray& data) : data_(data) {}
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
    *out = QString::fromLatin1(start, static_cast<int>(static_cast<const char*>(nul) - start));
    return true;
  }
  uint64_t size() const { return static_cast<uint64_t>(data_.size()); }

 private:
  const QByteArray& data_;
};

// Where the parts of a 64-bit PE image are.
struct PeLayout {
  uint64_t optionalHeader = 0;
  uint64_t sections = 0;
  uint16_t sectionCount = 0;
};

// False when the bytes are not a 64-bit PE image.
bool readPeLayout(const ImageBytes& file, PeLayout* layout);

// The file offset of a relative virtual address, through the section table.
bool peFileOffset(const ImageBytes& file, const PeLayout& layout, uint32_t rva, uint64_t* offset);

}  // namespace cadence::host
