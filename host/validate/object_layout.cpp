// Following a part of an object down to its IVelUnknown, on the layout of
// either compiler family.
#include "validate/object_layout.h"

namespace cadence::host::validate {
namespace {

constexpr std::ptrdiff_t kNoRoot = -1;

// The one IVelUnknown inside sub-object `at` (itself, or among its bases),
// or kNoRoot when it holds none or two.
std::ptrdiff_t rootInside(const ObjectLayout& layout, std::size_t at) {
  std::ptrdiff_t root = kNoRoot;
  for (std::size_t i = at; i < layout.parts[at].end; ++i) {
    if (!layout.parts[i].isVelUnknown) continue;
    if (root != kNoRoot && root != layout.parts[i].offset) return kNoRoot;
    root = layout.parts[i].offset;
    if (i == at) break;
  }
  return root;
}

}  // namespace

IVelUnknown* rootOf(const ObjectLayout& layout, const void* part) {
  if (layout.parts.empty() || !layout.whole) return nullptr;
  const std::ptrdiff_t offset = static_cast<const char*>(part) - layout.whole;
  // The sub-objects at the part's address nest (a class and its primary
  // bases); the innermost that holds one IVelUnknown is the part's class.
  std::ptrdiff_t root = kNoRoot;
  for (std::size_t i = 0; i < layout.parts.size(); ++i) {
    if (layout.parts[i].offset != offset) continue;
    const std::ptrdiff_t inside = rootInside(layout, i);
    if (inside != kNoRoot) root = inside;
  }
  if (root == kNoRoot) return nullptr;
  return reinterpret_cast<IVelUnknown*>(const_cast<char*>(layout.whole + root));
}

}  // namespace cadence::host::validate
