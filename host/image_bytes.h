// Reading a module file's bytes as a structure: little-endian reads that fail
// instead of reading past the end (from memory, or from the file itself
// without reading it whole), and the PE layout (headers, sections, the file
// offset of a virtual address) the import and export readers share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cadence::host {

// Little-endian reads of an image that fail instead of reading past its end:
// over bytes in memory, or straight from a file, where only what is asked
// for is read.
class ImageBytes {
 public:
  virtual ~ImageBytes() = default;
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
  // most kLongestText bytes long).
  bool text(uint64_t offset, uint64_t limit, QString* out) const;

  static constexpr uint64_t kLongestText = 1024;
};

class ImageInMemory final : public ImageBytes {
 public:
  explicit ImageInMemory(const QByteArray& data) : data_(data) {}
  uint64_t size() const override { return static_cast<uint64_t>(data_.size()); }
  bool copy(uint64_t offset, void* out, size_t n) const override {
    std::memcpy(out, data_.constData() + offset, n);
    return true;
  }

 private:
  const QByteArray& data_;
};

// A module file read through the runtime's descriptor layer, which opens
// nothing but a regular file (a FIFO or a device is refused at once).
class ImageFile final : public ImageBytes {
 public:
  explicit ImageFile(const QString& path);
  ~ImageFile() override;
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  bool isOpen() const { return fd_ != -1; }
  uint64_t size() const override { return size_; }
  bool copy(uint64_t offset, void* out, size_t n) const override;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

enum class ImageKind { kElf, kPe, kNeither };
// What the first bytes say the image is.
ImageKind imageKindOf(const ImageBytes& image);
// The reason given for an image that is neither.
inline constexpr const char* kNeitherElfNorPe = "neither an ELF nor a PE file";

// The names `readNames(image, names, reason)` finds in the module file at
// `path`, read as an ImageFile: a regular file only, and only as far as the
// reading goes.
template <class ReadNames>
bool readNamesFromFile(const QString& path, QStringList* names, QString* reason, ReadNames readNames) {
  names->clear();
  const ImageFile file(path);
  if (!file.isOpen()) {
    *reason = QString::fromLatin1("not a regular file that can be read");
    return false;
  }
  return readNames(file, names, reason);
}

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
