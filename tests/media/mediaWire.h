#pragma once

#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CMemoryBlock.h"
#include "streams/CProbeStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace nebo::common {

using lumo::Bytes;
using lumo::operator+;

inline Bytes wireInt32(int32_t value) { return lumo::wireUInt32(static_cast<uint32_t>(value)); }

inline Bytes wireDouble(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return lumo::wireUInt32(uint32_t(bits)) + lumo::wireUInt32(uint32_t(bits >> 32));
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
    lumo::P<lumo::CProbeStream> stream = lumo::make<lumo::CProbeStream>();
    lumo::P<lumo::CDataOutStream> out = lumo::make<lumo::CDataOutStream>(stream);
    lumo::P<lumo::CDataInStream> in = lumo::make<lumo::CDataInStream>(stream);

    // Everything written so far; the stream is then read from the start.
    Bytes written()
    {
        stream->seek(0);
        return stream->bytes();
    }

    // The stream holds `bytes`, to be read from the start.
    lumo::IDataInStream& feed(const Bytes& bytes)
    {
        stream->fill(bytes);
        return *in;
    }
};

// A refused value fails on what precedes its body, which the stream does not hold: running out of bytes would mean
// the body was asked for. Returns the error.
inline lumo::P<lumo::CException> expectRefusedBeforeTheBody(const std::function<void()>& call)
{
    try {
        call();
        ADD_FAILURE() << "not refused";
    } catch (const lumo::CEndOfStreamError&) {
        ADD_FAILURE() << "the body was read";
    } catch (const lumo::CException& error) {
        return error.clone();
    }
    return nullptr;
}

} // namespace nebo::common
