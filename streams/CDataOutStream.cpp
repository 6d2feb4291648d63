#include "streams/CDataOutStream.h"

#include "foundation/ICharEncoding.h"
#include "foundation/IURI.h"
#include "streams/ISerializable.h"
#include "streams/littleEndian.h"
#include "streams/objectMarker.h"

namespace lumo {

CDataOutStream::CDataOutStream(P<IOutStream> stream) : TDataStream(std::move(stream)) {}

void CDataOutStream::copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    stream().copyFrom(in, buffer, bufferSize, abort);
}

void CDataOutStream::write(const void* data, int32_t count) { stream().write(data, count); }

int32_t CDataOutStream::writeCounted(const void* data, int32_t count) { return stream().writeCounted(data, count); }

void CDataOutStream::checkOpen() { stream().checkOpen(); }

template <class Unsigned> void CDataOutStream::writeLittleEndian(Unsigned value)
{
    uint8_t bytes[sizeof(Unsigned)];
    storeLittleEndian(value, bytes);
    stream().write(bytes, sizeof bytes);
}

void CDataOutStream::writeInt8(int8_t value) { writeLittleEndian(static_cast<uint8_t>(value)); }

void CDataOutStream::writeInt16(int16_t value) { writeLittleEndian(static_cast<uint16_t>(value)); }

void CDataOutStream::writeInt32(int32_t value) { writeLittleEndian(static_cast<uint32_t>(value)); }

void CDataOutStream::writeInt64(int64_t value) { writeLittleEndian(static_cast<uint64_t>(value)); }

void CDataOutStream::writeUInt8(uint8_t value) { writeLittleEndian(value); }

void CDataOutStream::writeUInt16(uint16_t value) { writeLittleEndian(value); }

void CDataOutStream::writeUInt32(uint32_t value) { writeLittleEndian(value); }

void CDataOutStream::writeUInt64(uint64_t value) { writeLittleEndian(value); }

void CDataOutStream::writeInt(int32_t value) { writeInt32(value); }

void CDataOutStream::writeUInt(uint32_t value) { writeUInt32(value); }

void CDataOutStream::writeString(const IString& value)
{
    if (value.hasEncoding(ICharEncoding::utf8Tag))
        writeUTF8(value);
    else
        writeUTF8(*value.convert(ICharEncoding::utf8Tag));
}

void CDataOutStream::writeUTF8(const IString& text)
{
    const int32_t byteCount = text.getByteLength();
    writeUInt32(static_cast<uint32_t>(byteCount));
    if (byteCount > 0)
        stream().write(text.getData(), byteCount);
}

void CDataOutStream::writeFloat(float value) { writeLittleEndian(floatBits<uint32_t>(value)); }

void CDataOutStream::writeDouble(double value) { writeLittleEndian(floatBits<uint64_t>(value)); }

void CDataOutStream::writeBool(bool value) { writeUInt8(value ? 1 : 0); }

void CDataOutStream::writeObject(ISerializable* object)
{
    writeBool(object == nullptr);
    if (!object)
        return;
    object->write(*this);
    writeInt(objectMarker);
}

void CDataOutStream::writeURI(const IURI* uri)
{
    writeBool(uri == nullptr);
    if (uri)
        writeString(*uri->getText().get());
}

} // namespace lumo
