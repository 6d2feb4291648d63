#pragma once

#include "foundation/sync/IMutex.h" // the memory stream destroys its lock inline
#include "streams/CMemoryIOStream.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lumo {

// Bytes as the data streams put them on the wire, spelled out by the tests.
using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A 32-bit number on the wire: its least significant byte first.
inline Bytes wireUInt32(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// A memory stream that records what reaches it, so that tests see what a data stream asks of the stream it wraps.
class CProbeStream : public CMemoryIOStream {
public:
    void write(const void* data, int32_t count) override
    {
        writeCounts.push_back(count);
        CMemoryIOStream::write(data, count);
    }

    void readFully(void* buffer, int32_t count) override
    {
        largestReadFully = std::max(largestReadFully, count);
        CMemoryIOStream::readFully(buffer, count);
    }

    // The stream's bytes from the start, leaving the position where it was.
    Bytes bytes()
    {
        const int64_t position = getPosition();
        seek(0);
        Bytes all(static_cast<std::size_t>(getSize()));
        CMemoryIOStream::readFully(all.data(), static_cast<int32_t>(all.size()));
        seek(position);
        return all;
    }

    // Replaces the content with `content`, positioned at its start.
    void fill(const Bytes& content)
    {
        clear();
        CMemoryIOStream::write(content.data(), static_cast<int32_t>(content.size()));
        seek(0);
    }

    std::vector<int32_t> writeCounts;
    int32_t largestReadFully = 0;
};

} // namespace lumo
