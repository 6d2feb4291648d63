#pragma once

#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CMemoryBlock.h"
#include "streams/CMemoryIOStream.h"

#include <cstring>
#include <vector>

namespace nebo::common {

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

inline Bytes wireInt32(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    return {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)};
}

inline Bytes wireDouble(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Bytes bytes;
    for (int shift = 0; shift < 64; shift += 8)
        bytes.push_back(uint8_t(bits >> shift));
    return bytes;
}

// A picture's body: time stamp, width, height, flag, block length, bytes.
inline Bytes wirePicture(double timestamp, int32_t width, int32_t height, bool bottomUp, const Bytes& pixels)
{
    return wireDouble(timestamp) + wireInt32(width) + wireInt32(height) + Bytes{uint8_t(bottomUp)} +
           wireInt32(int32_t(pixels.size())) + pixels;
}

inline lumo::P<lumo::IMemoryBlock> blockOf(const Bytes& bytes)
{
    lumo::P<lumo::IMemoryBlock> block = lumo::make<lumo::CMemoryBlock>(int32_t(bytes.size()));
    if (!bytes.empty())
        std::memcpy(block->getData(), bytes.data(), bytes.size());
    block->setSize(int32_t(bytes.size()));
    return block;
}

inline Bytes bytesOf(lumo::IMemoryBlock& block) { return Bytes(block.getData(), block.getData() + block.getSize()); }

// A memory stream with a data stream for each direction.
struct SWire {
    lumo::P<lumo::CMemoryIOStream> stream = lumo::make<lumo::CMemoryIOStream>();
    lumo::P<lumo::CDataOutStream> out = lumo::make<lumo::CDataOutStream>(stream);
    lumo::P<lumo::CDataInStream> in = lumo::make<lumo::CDataInStream>(stream);

    // Everything written so far; the stream is then read from the start.
    Bytes written()
    {
        Bytes bytes(static_cast<size_t>(stream->getSize()));
        stream->seek(0);
        stream->readFully(bytes.data(), int32_t(bytes.size()));
        stream->seek(0);
        return bytes;
    }

    // The stream holds `bytes`, to be read from the start.
    lumo::IDataInStream& feed(const Bytes& bytes)
    {
        stream->clear();
        stream->write(bytes.data(), int32_t(bytes.size()));
        stream->seek(0);
        return *in;
    }
};

} // namespace nebo::common
