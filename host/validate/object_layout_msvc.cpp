// The object layout of the MSVC C++ ABI (Visual Studio, clang-cl): in front
// of the table a part's table pointer points at lies its complete object
// locator, which gives the part's offset in the whole object and, through
// image-relative addresses, the whole class's hierarchy: every base class,
// each followed by its own bases, with the displacement that finds it
// (through the virtual-base table for a virtual base).
#include <cstdint>
#include <cstring>

#include "validate/object_layout.h"

namespace cadence::host::validate {
namespace {

constexpr uint32_t kMostBases = 4096;  // a bound against a damaged locator

struct CompleteObjectLocator {
  uint32_t signature;  // 1: the addresses below are image-relative
  uint32_t offset;     // of this table's part in the whole object
  uint32_t constructorDisplacement;
  int32_t typeDescriptor;
  int32_t hierarchy;
  int32_t self;
};

struct ClassHierarchy {
  uint32_t signature;
  uint32_t attributes;
  uint32_t baseCount;  // the class itself included
  int32_t bases;       // an array of baseCount image-relative addresses
};

struct Displacement {
  int32_t member;        // within the sub-object found so far
  int32_t tablePointer;  // of the virtual-base table pointer, or -1
  int32_t tableEntry;    // within that table
};

struct BaseClass {
  int32_t typeDescriptor;
  uint32_t containedBases;  // how many of the entries after it are its bases
  Displacement where;
  uint32_t attributes;
  int32_t hierarchy;
};

struct TypeDescriptor {
  const void* table;
  void* spare;
  char name[1];  // ".?AV" name "@@"
};

const CompleteObjectLocator* locatorOf(const void* part) {
  const void* const* table = *static_cast<const void* const* const*>(part);
  return static_cast<const CompleteObjectLocator*>(table[-1]);
}

template <class T>
const T* inImage(const char* image, int32_t address) {
  return reinterpret_cast<const T*>(image + address);
}

std::ptrdiff_t offsetOf(const char* whole, const Displacement& where) {
  std::ptrdiff_t offset = 0;
  if (where.tablePointer >= 0) {
    const char* table = *reinterpret_cast<const char* const*>(whole + where.tablePointer);
    offset = where.tablePointer + *reinterpret_cast<const int32_t*>(table + where.tableEntry);
  }
  return offset + where.member;
}

}  // namespace

const char* objectLayoutAbi() { return "MSVC C++ ABI"; }

const void* wholeObjectOf(const void* part) {
  const CompleteObjectLocator* locator = locatorOf(part);
  const char* whole = static_cast<const char*>(part) - locator->offset;
  if (locator->constructorDisplacement) {
    whole += *reinterpret_cast<const int32_t*>(static_cast<const char*>(part) - locator->constructorDisplacement);
  }
  return whole;
}

ObjectLayout layoutOf(const void* part) {
  ObjectLayout layout;
  layout.whole = static_cast<const char*>(wholeObjectOf(part));
  const CompleteObjectLocator* locator = locatorOf(part);
  if (!locator || locator->signature != 1) return layout;
  const char* image = reinterpret_cast<const char*>(locator) - locator->self;
  const auto* hierarchy = inImage<ClassHierarchy>(image, locator->hierarchy);
  const uint32_t count = hierarchy->baseCount < kMostBases ? hierarchy->baseCount : kMostBases;
  const auto* bases = inImage<int32_t>(image, hierarchy->bases);
  for (uint32_t i = 0; i < count; ++i) {
    const auto* base = inImage<BaseClass>(image, bases[i]);
    const std::string name = inImage<TypeDescriptor>(image, base->typeDescriptor)->name;
    std::size_t end = i + 1 + base->containedBases;
    layout.parts.push_back(
        SubObject{name, offsetOf(layout.whole, base->where), end > count ? count : end, name == ".?AVIVelUnknown@@"});
  }
  return layout;
}

}  // namespace cadence::host::validate
