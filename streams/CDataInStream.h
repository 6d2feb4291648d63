#pragma once

#include "streams/IDataInStream.h"
#include "streams/TDataStream.h"

namespace lumo {

// Takes typed values off a wrapped stream, adding no buffering: each value
// is one readFully of the wrapped stream (a string two). A stream that ends
// inside a value throws the wrapped stream's end-of-data error. Offered as
// resetable or seekable only when the wrapped stream is. Not locked.
class CDataInStream : public TDataStream<IInStream>, public virtual ISeekableDataInStream {
public:
    // Throws CInvalidArgError for a null stream.
    explicit CDataInStream(P<IInStream> stream);

    void copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void readFully(void* buffer, int32_t count) override;
    int32_t read(void* buffer, int32_t count) override;
    void skipFully(int32_t count) override;
    int32_t skip(int32_t count) override;
    bool isEOF() override;

    int8_t readInt8() override;
    int16_t readInt16() override;
    int32_t readInt32() override;
    int64_t readInt64() override;
    uint8_t readUInt8() override;
    uint16_t readUInt16() override;
    uint32_t readUInt32() override;
    uint64_t readUInt64() override;
    double readDouble() override;
    float readFloat() override;
    bool readBool() override;
    int32_t readInt() override;
    uint32_t readUInt() override;
    void setMaxStringBytes(uint32_t maxBytes) override;
    void setMaxItemCount(int32_t maxCount) override;
    int32_t readItemCount() override;
    // The bytes are taken as UTF-8 without checking (invalid ones are
    // skipped when the text is used).
    String readString() override;
    String tryReadString() override;
    P<ISerializable> readObject(ISerializable& target) override;
    // Throws what parsing the URI's text throws.
    P<IURI> readURI() override;

private:
    template <class Unsigned> Unsigned readLittleEndian();
    String readUTF8(uint32_t byteCount);

    uint32_t m_maxStringBytes;
    int32_t m_maxItemCount;
};

} // namespace lumo
