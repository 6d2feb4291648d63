#pragma once

#include "foundation/CObject.h"
#include "foundation/ICharEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lumo {

// The operations that every encoding shares, written once over the few
// that differ. `Codec` is the concrete encoding class (it derives from this
// template) and provides, as non-virtual members, so that the loops here
// compile to direct calls:
//   tag, name, unitSize, walksBackwards     constants
//   maxCharLength()                          at most maxEncodedLength
//   encodeChar(codePoint, bytes)             bytes written, 0 when impossible
//   decodeChar(codePoint, bytes, size, pos)  position after it, or -1
//   decodeCharBefore(codePoint, bytes, size, pos)
//                                            start of the character ending
//                                            at pos, or -1
template <class Codec> class TCharEncoding : public CObject, public virtual ICharEncoding {
public:
    // Room for one character in any encoding.
    static constexpr int32_t maxEncodedLength = 16;

    uint32_t getTag() override { return Codec::tag; }
    String getName() override { return String(Codec::name); }
    int32_t getUnitSize() override { return Codec::unitSize; }

    int32_t encode(uint32_t codePoint, void* buffer, int32_t size, int32_t position) override
    {
        unsigned char bytes[maxEncodedLength];
        int32_t length = codec().encodeChar(codePoint, bytes);
        if (length == 0 || position < 0 || length > size - position)
            return position;
        std::memcpy(static_cast<unsigned char*>(buffer) + position, bytes, length);
        return position + length;
    }

    int32_t getEncodedLength(uint32_t codePoint) override
    {
        unsigned char bytes[maxEncodedLength];
        return codec().encodeChar(codePoint, bytes);
    }

    int32_t getCharLength(const void* buffer, int32_t size, int32_t position) override
    {
        uint32_t codePoint;
        int32_t next = codec().decodeChar(codePoint, bytesOf(buffer), size, position);
        return next < 0 ? -1 : next - position;
    }

    int32_t countChars(const void* buffer, int32_t size, int32_t position) override
    {
        int32_t count = 0;
        uint32_t codePoint;
        for (int32_t next; (next = decodeValid(codePoint, bytesOf(buffer), size, position)) >= 0; position = next)
            ++count;
        return count;
    }

    int32_t getTerminatedLength(const void* buffer) override
    {
        if (!buffer)
            return 0;
        const unsigned char* bytes = bytesOf(buffer);
        if constexpr (Codec::unitSize == 1) {
            return static_cast<int32_t>(std::strlen(reinterpret_cast<const char*>(bytes)));
        } else {
            static constexpr unsigned char zeroUnit[Codec::unitSize] = {};
            int32_t length = 0;
            while (std::memcmp(bytes + length, zeroUnit, Codec::unitSize) != 0)
                length += Codec::unitSize;
            return length;
        }
    }

    int32_t getMaxCharLength() override { return codec().maxCharLength(); }

    int32_t findValid(const void* buffer, int32_t size, int32_t position) override
    {
        uint32_t codePoint;
        return decodeValid(codePoint, bytesOf(buffer), size, position) < 0 ? -1 : position;
    }

    int32_t decode(uint32_t& codePoint, const void* buffer, int32_t size, int32_t position) override
    {
        return codec().decodeChar(codePoint, bytesOf(buffer), size, position);
    }

    int32_t decodeSkipping(uint32_t& codePoint, const void* buffer, int32_t size, int32_t position) override
    {
        return decodeValid(codePoint, bytesOf(buffer), size, position);
    }

    bool canWalkBackwards() override { return Codec::walksBackwards; }

    int32_t findPrevious(const void* buffer, int32_t size, int32_t position) override
    {
        // A cut-off code unit at the end can never end a character.
        int32_t end = std::min(position, size);
        end -= end % Codec::unitSize;
        for (uint32_t codePoint;; end -= Codec::unitSize) {
            int32_t start = codec().decodeCharBefore(codePoint, bytesOf(buffer), size, end);
            if (start >= 0 || end <= 0)
                return start;
        }
    }

    int32_t skipChars(const void* buffer, int32_t size, int32_t position, int32_t count) override
    {
        position = std::max(position, 0);
        uint32_t codePoint;
        for (int32_t skipped = 0; skipped < count; ++skipped) {
            int32_t next = decodeValid(codePoint, bytesOf(buffer), size, position);
            if (next < 0)
                return size;
            position = next;
        }
        return position;
    }

    int32_t decodePrevious(uint32_t& codePoint, const void* buffer, int32_t size, int32_t position) override
    {
        return codec().decodeCharBefore(codePoint, bytesOf(buffer), size, position);
    }

    int32_t decodeMany(uint32_t* codePoints, int32_t maxCount, const void* buffer, int32_t size, int32_t& position,
                       int32_t* starts) override
    {
        int32_t count = 0;
        while (count < maxCount) {
            int32_t next = decodeValid(codePoints[count], bytesOf(buffer), size, position);
            if (next < 0) {
                position = size;
                break;
            }
            if (starts)
                starts[count] = position;
            ++count;
            position = next;
        }
        return count;
    }

    int32_t encodeMany(const uint32_t* codePoints, int32_t count, void* buffer, int32_t size, int32_t& position,
                       int32_t* ends) override
    {
        if (position < 0)
            return 0;
        unsigned char* out = static_cast<unsigned char*>(buffer);
        int32_t consumed = 0;
        for (; consumed < count; ++consumed) {
            unsigned char bytes[maxEncodedLength];
            int32_t length = codec().encodeChar(codePoints[consumed], bytes);
            if (length > size - position)
                break;
            std::memcpy(out + position, bytes, length);
            position += length;
            if (ends)
                ends[consumed] = position;
        }
        return consumed;
    }

protected:
    static const unsigned char* bytesOf(const void* buffer) { return static_cast<const unsigned char*>(buffer); }

    // Decodes the first valid character at or after `position` and moves
    // `position` to its start; -1 when none is left.
    int32_t decodeValid(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t& position)
    {
        for (position = std::max(position, 0); position < size; position += Codec::unitSize) {
            int32_t next = codec().decodeChar(codePoint, bytes, size, position);
            if (next >= 0)
                return next;
        }
        return -1;
    }

private:
    Codec& codec() { return static_cast<Codec&>(*this); }
};

} // namespace lumo
