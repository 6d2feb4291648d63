#pragma once

#include "foundation/String.h"

#include <cstdint>

namespace lumo {

// A stateless codec between code points and the bytes of one character
// encoding. Buffers are untyped; positions, sizes and lengths are byte
// offsets, and -1 means "none" or "invalid". Invalid bytes never make an
// operation fail: the skipping operations step over them one code unit at a
// time. The encodings are process-wide singletons shared by all threads.
class ICharEncoding : public virtual IBase {
public:
    // Tags: four characters, the first one in the lowest byte.
    static constexpr uint32_t latin1Tag = 0x3154414c;   // "LAT1"
    static constexpr uint32_t utf8Tag = 0x38465455;     // "UTF8"
    static constexpr uint32_t utf16Tag = 0x36314655;    // "UF16"
    static constexpr uint32_t utf32Tag = 0x32334655;    // "UF32"
    static constexpr uint32_t codePageTag = 0x47504443; // "CDPG"

    virtual uint32_t getTag() = 0;
    virtual String getName() = 0;
    // Bytes per code unit; a terminator is one zero code unit.
    virtual int32_t getUnitSize() = 0;

    // Writes one character at `position`; returns the position after it, or
    // `position` unchanged when it does not fit or cannot be encoded.
    virtual int32_t encode(uint32_t codePoint, void* buffer, int32_t size, int32_t position) = 0;
    // Bytes that encode() writes for the code point; 0 when it cannot.
    virtual int32_t getEncodedLength(uint32_t codePoint) = 0;
    // Bytes of the character at `position`; -1 when invalid or cut off.
    virtual int32_t getCharLength(const void* buffer, int32_t size, int32_t position) = 0;
    // Valid characters from `position` to `size`.
    virtual int32_t countChars(const void* buffer, int32_t size, int32_t position = 0) = 0;
    // Bytes before the first zero code unit, which must be there.
    virtual int32_t getTerminatedLength(const void* buffer) = 0;
    // The most bytes that one character takes.
    virtual int32_t getMaxCharLength() = 0;
    // The first position at or after `position` where a valid character starts.
    virtual int32_t findValid(const void* buffer, int32_t size, int32_t position) = 0;
    // Decodes the character at `position`; returns the position after it, or
    // -1 (code point untouched) when the bytes there are invalid.
    virtual int32_t decode(uint32_t& codePoint, const void* buffer, int32_t size, int32_t position) = 0;
    // Decodes the first valid character at or after `position`; -1 at the end.
    virtual int32_t decodeSkipping(uint32_t& codePoint, const void* buffer, int32_t size, int32_t position) = 0;

    // False when the byte layout cannot be read from the end; the backward
    // operations then throw CMethodNotImplementedError.
    virtual bool canWalkBackwards() = 0;
    // Start of the nearest valid character that ends at or before
    // `position`, stepping back over invalid bytes; -1 when there is none.
    virtual int32_t findPrevious(const void* buffer, int32_t size, int32_t position) = 0;
    // The position after `count` valid characters from `position`; `size`
    // when the buffer holds fewer.
    virtual int32_t skipChars(const void* buffer, int32_t size, int32_t position, int32_t count) = 0;
    // Decodes the character that ends exactly at `position`; returns its
    // start, or -1 when the bytes before `position` are not one character.
    virtual int32_t decodePrevious(uint32_t& codePoint, const void* buffer, int32_t size, int32_t position) = 0;

    // Decodes up to `maxCount` valid characters from `position` into
    // `codePoints` (and their starts into `starts` when given), skipping
    // invalid bytes. Moves `position` past the last one (to `size` when the
    // text ran out) and returns how many were decoded.
    virtual int32_t decodeMany(uint32_t* codePoints, int32_t maxCount, const void* buffer, int32_t size,
                               int32_t& position, int32_t* starts = nullptr) = 0;
    // Encodes code points from `position` on (recording each one's end
    // position into `ends` when given), dropping those that cannot be
    // encoded. Stops before the first one that does not fit; moves
    // `position` past the written bytes and returns how many code points
    // were consumed.
    virtual int32_t encodeMany(const uint32_t* codePoints, int32_t count, void* buffer, int32_t size, int32_t& position,
                               int32_t* ends = nullptr) = 0;
};

// The process-wide encodings.
P<ICharEncoding> getLatin1Encoding();
P<ICharEncoding> getUTF8Encoding();
P<ICharEncoding> getUTF16Encoding();
P<ICharEncoding> getUTF32Encoding();
// The multi-byte text of the C library's current locale.
P<ICharEncoding> getCodePageEncoding();
// The encoding of a tag; null for an unknown tag.
P<ICharEncoding> getCharEncoding(uint32_t tag);

} // namespace lumo
