// Strict UTF-8: the length and value of one well-formed sequence, and where a byte
// string stops being well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
#pragma once

#include <cstddef>
#include <cstdint>

namespace cadence::host {

// Length (1 to 4) of the well-formed UTF-8 sequence that starts at `bytes`,
// of which `available` bytes may be read; 0 when none starts there.
int utf8SequenceLength(const unsigned char* bytes, size_t available);

// The code point of a well-formed sequence of `length` bytes (as
// utf8SequenceLength measured it).
char32_t decodeUtf8Sequence(const unsigned char* bytes, int length);

// Offset of the first byte that is not part of well-formed UTF-8, or -1
// when all `size` bytes are.
int64_t firstInvalidUtf8(const char* bytes, size_t size);

}  // namespace cadence::host
