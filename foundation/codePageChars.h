#pragma once

#include <cstdint>

namespace lumo {

// One character of the process code page, as the platform converts it. The
// code page may change at any time (with the C locale on POSIX); each call
// uses the one in force. Any thread may call; none throws.

// The most bytes one character of the current code page takes, at most
// maxCodePageCharBytes.
int32_t getMaxCodePageCharLength();
constexpr int32_t maxCodePageCharBytes = 16;

// Writes the code page's bytes of `codePoint` (at most 0xFFFF) to `bytes`,
// which has room for getMaxCodePageCharLength(); 0 when the code page has no
// such character.
int32_t encodeCodePageChar(uint32_t codePoint, unsigned char* bytes);

// Reads the character starting at `bytes`, of which `available` (at least 1)
// may be read; its byte count, or -1 when they hold no whole character. A
// zero byte is the character 0.
int32_t decodeCodePageChar(uint32_t& codePoint, const unsigned char* bytes, int32_t available);

} // namespace lumo
