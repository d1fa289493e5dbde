// Strict UTF-8 checks, by the table of well-formed byte sequences.
#include "host/utf8_text.h"

namespace cadence::host {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

int utf8SequenceLength(const unsigned char* bytes, size_t available) {
  if (available == 0) return 0;
  const unsigned char lead = bytes[0];
  if (lead < 0x80) return 1;
  // The second byte's range depends on the lead (this rules out overlong
  // forms, surrogates and values above U+10FFFF); later bytes are any
  // continuation byte.
  int length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;  // a continuation byte, C0, C1 or F5..FF
  }
  if (available < static_cast<size_t>(length)) return 0;
  if (bytes[1] < low || bytes[1] > high) return 0;
  for (int i = 2; i < length; ++i) {
    if (!isContinuation(bytes[i])) return 0;
  }
  return length;
}

char32_t decodeUtf8Sequence(const unsigned char* bytes, int length) {
  if (length == 1) return bytes[0];
  char32_t value = bytes[0] & (0x7F >> length);
  for (int i = 1; i < length; ++i) value = (value << 6) | (bytes[i] & 0x3F);
  return value;
}

int64_t firstInvalidUtf8(const char* bytes, size_t size) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes);
  size_t at = 0;
  while (at < size) {
    const int length = utf8SequenceLength(data + at, size - at);
    if (length == 0) return static_cast<int64_t>(at);
    at += static_cast<size_t>(length);
  }
  return -1;
}

}  // namespace cadence::host
