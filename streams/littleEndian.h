#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace lumo {

// Byte order of the wire, independent of the host's: the bytes are assembled
// one by one, which compilers fold into a single load or store on
// little-endian machines.

template <class T> void storeLittleEndian(T value, uint8_t* bytes)
{
    static_assert(std::is_unsigned_v<T>, "store the unsigned twin of a value");
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

template <class T> T loadLittleEndian(const uint8_t* bytes)
{
    static_assert(std::is_unsigned_v<T>, "load the unsigned twin of a value");
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value = static_cast<T>(value | static_cast<T>(static_cast<T>(bytes[i]) << (8 * i)));
    return value;
}

// The IEEE 754 bits of a floating-point value, and back.
template <class Bits, class Float> Bits floatBits(Float value)
{
    static_assert(sizeof(Bits) == sizeof(Float));
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <class Float, class Bits> Float floatFromBits(Bits bits)
{
    static_assert(sizeof(Bits) == sizeof(Float));
    Float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace lumo
