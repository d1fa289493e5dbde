// Reading images from memory or from a file, and the PE layout shared by
// the import and export readers.
#include "host/image_bytes.h"

#include <algorithm>

#include <QDir>

#include "platform/files.h"

namespace cadence::host {

bool ImageBytes::text(uint64_t offset, uint64_t limit, QString* out) const {
  if (offset >= size()) return false;
  char name[kLongestText];
  const uint64_t room = std::min<uint64_t>({limit, size() - offset, kLongestText});
  if (!copy(offset, name, static_cast<size_t>(room))) return false;
  const void* nul = std::memchr(name, 0, static_cast<size_t>(room));
  if (!nul) return false;
  *out = QString::fromLatin1(name, static_cast<int>(static_cast<const char*>(nul) - name));
  return true;
}

ImageKind imageKindOf(const ImageBytes& image) {
  char magic[4] = {};
  if (image.read(0, &magic) && std::memcmp(magic, "\x7f" "ELF", 4) == 0) return ImageKind::kElf;
  if (image.size() >= 2 && image.copy(0, magic, 2) && magic[0] == 'M' && magic[1] == 'Z') return ImageKind::kPe;
  return ImageKind::kNeither;
}

ImageFile::ImageFile(const QString& path) {
  const QString native = QDir::toNativeSeparators(path);
  cadence::port::Files& files = cadence::port::files();
  fd_ = files.open(reinterpret_cast<const char16_t*>(native.utf16()), cadence::port::kO_RDONLY | cadence::port::kO_BINARY,
                   0);
  if (fd_ == -1) return;
  const int64_t end = files.seek64(fd_, 0, cadence::port::kSeekEnd);
  size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
}

ImageFile::~ImageFile() {
  if (fd_ != -1) cadence::port::files().close(fd_);
}

bool ImageFile::copy(uint64_t offset, void* out, size_t n) const {
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

bool readPeLayout(const ImageBytes& file, PeLayout* layout) {
  uint32_t peOffset = 0, signature = 0;
  uint16_t optionalSize = 0, magic = 0;
  if (!file.read(0, &magic) || magic != 0x5A4D /* "MZ" */ || !file.read(0x3C, &peOffset) ||
      !file.read(peOffset, &signature) || signature != 0x00004550u ||
      !file.read(uint64_t{peOffset} + 6, &layout->sectionCount) || !file.read(uint64_t{peOffset} + 20, &optionalSize) ||
      !file.read(uint64_t{peOffset} + 24, &magic) || magic != 0x20B) {
    return false;
  }
  layout->optionalHeader = uint64_t{peOffset} + 24;
  layout->sections = layout->optionalHeader + optionalSize;
  return true;
}

bool peFileOffset(const ImageBytes& file, const PeLayout& layout, uint32_t rva, uint64_t* offset) {
  for (uint16_t i = 0; i < layout.sectionCount; ++i) {
    uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawOffset = 0;
    const uint64_t header = layout.sections + uint64_t{i} * 40;
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

}  // namespace cadence::host
