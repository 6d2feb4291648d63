#pragma once

#include "media/CPictureBase.h"
#include "media/makePicture.h"
#include "mediaWire.h"

#include <algorithm>
#include <numeric>

namespace nebo::common {

// Byte i of the block is i modulo 256, so that a copy shows where it read.
inline Bytes numberedBytes(size_t count)
{
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t(0));
    return bytes;
}

// What the picture sends once reduced to a quarter.
inline Bytes reducedOnTheWire(INEBPicture& picture)
{
    picture.reduceQuarter();
    SWire wire;
    picture.write(*wire.out);
    return wire.written();
}

// `bytes` copied into `into` from `at` on.
inline void place(Bytes& into, size_t at, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), into.begin() + long(at));
}

inline lumo::P<INEBPicture> makeYUVPicture(int32_t type, const Bytes& block, int32_t width, int32_t height)
{
    return makePicture(type, nullptr, 2.0, blockOf(block), width, height, false);
}

} // namespace nebo::common
