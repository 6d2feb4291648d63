#pragma once

#include "foundation/P.h"
#include "foundation/String.h"
#include "streams/IInStream.h"
#include "streams/ISeekableStream.h"

#include <cstdint>

namespace lumo {

class IURI;
class ISerializable;

// Reads what an IDataOutStream wrote. A stream that ends inside a value
// throws its end-of-data error (CEndOfStreamError, or CFinishedError for a
// closed pipe) and the bytes of that value are lost. A count read from the
// stream never reserves memory for bytes that have not arrived, and one above
// the stream's bounds is refused before anything is reserved or read for it.
class IDataInStream : public virtual IInStream {
public:
    // The longest string a read accepts, in bytes (2^31 - 1 until set; a
    // larger bound counts as 2^31 - 1). Set by the stream's owner before
    // values are read.
    virtual void setMaxStringBytes(uint32_t maxBytes) = 0;
    // The most items readItemCount accepts (INT32_MAX until set). Throws
    // CInvalidArgError for a negative bound.
    virtual void setMaxItemCount(int32_t maxCount) = 0;

    virtual int8_t readInt8() = 0;
    virtual int16_t readInt16() = 0;
    virtual int32_t readInt32() = 0;
    virtual int64_t readInt64() = 0;
    virtual uint8_t readUInt8() = 0;
    virtual uint16_t readUInt16() = 0;
    virtual uint32_t readUInt32() = 0;
    virtual uint64_t readUInt64() = 0;
    virtual double readDouble() = 0;
    virtual float readFloat() = 0;
    // Any non-zero byte is true.
    virtual bool readBool() = 0;
    virtual int32_t readInt() = 0;
    virtual uint32_t readUInt() = 0;
    // The number of items of a list that follows, written as a signed
    // 32-bit count. Throws CParseError for a count below 0 or above the
    // bound of setMaxItemCount.
    virtual int32_t readItemCount() = 0;
    // A UTF-8 string. A byte count above the bound of setMaxStringBytes
    // throws CParseError as soon as the count is read.
    virtual String readString() = 0;
    // Like readString, but fewer than four bytes of count give the empty
    // string (the bytes that came are consumed).
    virtual String tryReadString() = 0;
    // Null when the null flag is set (the target is left untouched); else
    // the target reads its body, and a marker other than 123456 throws
    // CException "Error in object serialization.. write/read differ?".
    virtual P<ISerializable> readObject(ISerializable& target) = 0;
    virtual P<IURI> readURI() = 0;
};

class IResetableDataInStream : public virtual IDataInStream, public virtual IResetableInStream {};
class ISeekableDataInStream : public virtual IResetableDataInStream, public virtual ISeekableInStream {};

} // namespace lumo
