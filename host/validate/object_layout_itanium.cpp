// The object layout of GCC, Clang and mingw-w64 (the Itanium C++ ABI): in
// front of the table a part's table pointer points at lie the distance to
// the whole object and the whole object's type information, whose base
// lists give each base's offset or, for a virtual base, where in the table
// its offset is kept.
#include <cxxabi.h>

#include <cstring>
#include <typeinfo>

#include "validate/object_layout.h"

namespace cadence::host::validate {
namespace {

constexpr std::size_t kMostSubObjects = 4096;  // a bound against a damaged table
constexpr int kDeepestBase = 64;

const char* const* tableOf(const void* part) { return *static_cast<const char* const* const*>(part); }

std::string nameOf(const std::type_info* type) {
  const char* name = type->name();
  return name[0] == '*' ? name + 1 : name;  // a name not merged across libraries
}

bool isKind(const std::type_info* type, const std::type_info& kind) {
  return std::strcmp(typeid(*type).name(), kind.name()) == 0;
}

void walk(const std::type_info* type, const char* whole, std::ptrdiff_t offset, int depth, ObjectLayout& layout) {
  if (!type || depth > kDeepestBase || layout.parts.size() >= kMostSubObjects) return;
  const std::size_t self = layout.parts.size();
  const std::string name = nameOf(type);
  layout.parts.push_back(SubObject{name, offset, 0, name == "11IVelUnknown"});
  if (isKind(type, typeid(abi::__si_class_type_info))) {
    walk(static_cast<const abi::__si_class_type_info*>(type)->__base_type, whole, offset, depth + 1, layout);
  } else if (isKind(type, typeid(abi::__vmi_class_type_info))) {
    const auto* bases = static_cast<const abi::__vmi_class_type_info*>(type);
    for (unsigned i = 0; i < bases->__base_count; ++i) {
      const abi::__base_class_type_info& base = bases->__base_info[i];
      std::ptrdiff_t at = base.__offset();
      if (base.__is_virtual_p()) {
        // A virtual base's offset, kept in the table of the sub-object that
        // names it, at the position its base entry gives.
        const char* table = reinterpret_cast<const char*>(tableOf(whole + offset));
        at = *reinterpret_cast<const std::ptrdiff_t*>(table + at);
      }
      walk(base.__base_type, whole, offset + at, depth + 1, layout);
    }
  }
  layout.parts[self].end = layout.parts.size();
}

}  // namespace

const char* objectLayoutAbi() { return "Itanium C++ ABI"; }

const void* wholeObjectOf(const void* part) {
  return static_cast<const char*>(part) + reinterpret_cast<const std::ptrdiff_t*>(tableOf(part))[-2];
}

ObjectLayout layoutOf(const void* part) {
  ObjectLayout layout;
  layout.whole = static_cast<const char*>(wholeObjectOf(part));
  const auto* type = reinterpret_cast<const std::type_info* const*>(tableOf(part))[-1];
  walk(type, layout.whole, 0, 0, layout);
  return layout;
}

}  // namespace cadence::host::validate
