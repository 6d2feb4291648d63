#pragma once

#include "streams/IDataOutStream.h"
#include "streams/TDataStream.h"

namespace lumo {

// Puts typed values on a wrapped stream, adding no buffering: each value is
// one write of the wrapped stream (a string two: count and bytes; an object
// its flag, its body's writes and the marker). The errors are the wrapped
// stream's. Offered as resetable or seekable only when the wrapped stream
// is. Not locked: a writer holds the wrapped stream's lock around a whole
// value so that no other writer's bytes land inside it.
class CDataOutStream : public TDataStream<IOutStream>, public virtual ISeekableDataOutStream {
public:
    // Throws CInvalidArgError for a null stream.
    explicit CDataOutStream(P<IOutStream> stream);

    void copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void write(const void* data, int32_t count) override;
    int32_t writeCounted(const void* data, int32_t count) override;
    void checkOpen() override;

    void writeInt8(int8_t value) override;
    void writeInt16(int16_t value) override;
    void writeInt32(int32_t value) override;
    void writeInt64(int64_t value) override;
    void writeUInt8(uint8_t value) override;
    void writeUInt16(uint16_t value) override;
    void writeUInt32(uint32_t value) override;
    void writeUInt64(uint64_t value) override;
    void writeInt(int32_t value) override;
    void writeUInt(uint32_t value) override;
    // Text in another encoding is converted to UTF-8 first; UTF-8 text goes
    // out as it is held.
    void writeString(const IString& value) override;
    void writeFloat(float value) override;
    void writeDouble(double value) override;
    void writeBool(bool value) override;
    void writeObject(ISerializable* object) override;
    void writeURI(const IURI* uri) override;

private:
    template <class Unsigned> void writeLittleEndian(Unsigned value);
    void writeUTF8(const IString& text);
};

} // namespace lumo
