// The PE layout shared by the import and export readers.
#include "host/image_bytes.h"

namespace cadence::host {

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
