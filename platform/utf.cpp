// UTF-16 <-> UTF-8 conversion used by the platform layer.
#include "platform/utf.h"

namespace cadence::port {

std::string utf16ToUtf8(const char16_t* text) {
  std::string out;
  if (!text) return out;
  for (const char16_t* p = text; *p; ++p) {
    char32_t c = *p;
    if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

bool utf8ToUtf16(const std::string& text, std::u16string* out) {
  out->clear();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned lead = *p++;
    char32_t c;
    int more;
    char32_t least;
    if (lead == 0) return false;
    if (lead < 0x80) {
      c = lead, more = 0, least = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      c = lead & 0x1F, more = 1, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      c = lead & 0x0F, more = 2, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      c = lead & 0x07, more = 3, least = 0x10000;
    } else {
      return false;
    }
    for (; more > 0; --more) {
      if (p == end || (*p & 0xC0) != 0x80) return false;
      c = (c << 6) | (*p++ & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c >= 0x10000) {
      out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out->push_back(static_cast<char16_t>(c));
    }
  }
  return true;
}

}  // namespace cadence::port
