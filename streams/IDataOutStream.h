#pragma once

#include "streams/IOutStream.h"
#include "streams/ISeekableStream.h"

#include <cstdint>

namespace lumo {

class IString;
class IURI;
class ISerializable;

// Typed values on a byte stream, little-endian, without tags or alignment:
// the reader must know what comes next. Strings go as a 32-bit UTF-8 byte
// count and the bytes; objects and URIs behind a null flag (1 = null).
class IDataOutStream : public virtual IOutStream {
public:
    virtual void writeInt8(int8_t value) = 0;
    virtual void writeInt16(int16_t value) = 0;
    virtual void writeInt32(int32_t value) = 0;
    virtual void writeInt64(int64_t value) = 0;
    virtual void writeUInt8(uint8_t value) = 0;
    virtual void writeUInt16(uint16_t value) = 0;
    virtual void writeUInt32(uint32_t value) = 0;
    virtual void writeUInt64(uint64_t value) = 0;
    virtual void writeInt(int32_t value) = 0;
    virtual void writeUInt(uint32_t value) = 0;
    virtual void writeString(const IString& value) = 0;
    virtual void writeFloat(float value) = 0;
    virtual void writeDouble(double value) = 0;
    virtual void writeBool(bool value) = 0;
    // The null flag, then for an object its body and the marker 123456.
    virtual void writeObject(ISerializable* object) = 0;
    // The null flag, then for a URI its text.
    virtual void writeURI(const IURI* uri) = 0;
};

class IResetableDataOutStream : public virtual IDataOutStream, public virtual IResetableOutStream {};
class ISeekableDataOutStream : public virtual IResetableDataOutStream, public virtual ISeekableOutStream {};

} // namespace lumo
