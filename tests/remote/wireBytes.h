#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

// Expected bytes on the wire, spelled out independently of the data streams.
using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

inline Bytes wireUInt32(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// A string as the data streams put it: its UTF-8 byte count, then the bytes.
inline Bytes wireString(const std::string& utf8)
{
    return wireUInt32(static_cast<uint32_t>(utf8.size())) + Bytes(utf8.begin(), utf8.end());
}

inline Bytes wireInt(const std::string& name, int32_t value)
{
    return wireString(name) + wireUInt32(static_cast<uint32_t>(value));
}

} // namespace lumo
