#include "streams/CDataInStream.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CParseError.h"
#include "foundation/CURI.h"
#include "foundation/CUTF8String.h"
#include "streams/ISerializable.h"
#include "streams/littleEndian.h"
#include "streams/objectMarker.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

namespace lumo {

namespace {

// A string's bytes are read into one block that the string then adopts. A
// count is only a claim: past the first chunk the block grows with the
// bytes that have come (at most doubling), so a lying count ends in the
// stream's end-of-data error, never in a huge allocation.
constexpr std::size_t firstChunk = 64 * 1024;
// The byte length of a string is a signed 32-bit number.
constexpr uint32_t stringBytesLimit = std::numeric_limits<int32_t>::max();

struct FreeBlock {
    void operator()(unsigned char* block) const { std::free(block); }
};
using Block = std::unique_ptr<unsigned char, FreeBlock>;

void resize(Block& block, std::size_t size)
{
    auto* resized = static_cast<unsigned char*>(std::realloc(block.get(), size));
    if (!resized)
        throw std::bad_alloc();
    block.release();
    block.reset(resized);
}

std::size_t nextCapacity(std::size_t filled, uint32_t byteCount)
{
    return std::min<std::size_t>(byteCount, std::max(2 * filled, firstChunk));
}

CParseError aboveBound(const char* what, int64_t count, int64_t bound)
{
    return CParseError(String(what) + String::fromInt(count) + String(", the most allowed is ") +
                       String::fromInt(bound) + String("."));
}

String emptyUTF8() { return String(make<CUTF8String>(nullptr, 0)); }

} // namespace

CDataInStream::CDataInStream(P<IInStream> stream)
    : TDataStream(std::move(stream)), m_maxStringBytes(stringBytesLimit),
      m_maxItemCount(std::numeric_limits<int32_t>::max())
{
}

void CDataInStream::copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    stream().copyTo(out, buffer, bufferSize, abort);
}

void CDataInStream::readFully(void* buffer, int32_t count) { stream().readFully(buffer, count); }

int32_t CDataInStream::read(void* buffer, int32_t count) { return stream().read(buffer, count); }

void CDataInStream::skipFully(int32_t count) { stream().skipFully(count); }

int32_t CDataInStream::skip(int32_t count) { return stream().skip(count); }

bool CDataInStream::isEOF() { return stream().isEOF(); }

template <class Unsigned> Unsigned CDataInStream::readLittleEndian()
{
    uint8_t bytes[sizeof(Unsigned)];
    stream().readFully(bytes, sizeof bytes);
    return loadLittleEndian<Unsigned>(bytes);
}

int8_t CDataInStream::readInt8() { return static_cast<int8_t>(readLittleEndian<uint8_t>()); }

int16_t CDataInStream::readInt16() { return static_cast<int16_t>(readLittleEndian<uint16_t>()); }

int32_t CDataInStream::readInt32() { return static_cast<int32_t>(readLittleEndian<uint32_t>()); }

int64_t CDataInStream::readInt64() { return static_cast<int64_t>(readLittleEndian<uint64_t>()); }

uint8_t CDataInStream::readUInt8() { return readLittleEndian<uint8_t>(); }

uint16_t CDataInStream::readUInt16() { return readLittleEndian<uint16_t>(); }

uint32_t CDataInStream::readUInt32() { return readLittleEndian<uint32_t>(); }

uint64_t CDataInStream::readUInt64() { return readLittleEndian<uint64_t>(); }

double CDataInStream::readDouble() { return floatFromBits<double>(readLittleEndian<uint64_t>()); }

float CDataInStream::readFloat() { return floatFromBits<float>(readLittleEndian<uint32_t>()); }

bool CDataInStream::readBool() { return readUInt8() != 0; }

int32_t CDataInStream::readInt() { return readInt32(); }

uint32_t CDataInStream::readUInt() { return readUInt32(); }

void CDataInStream::setMaxStringBytes(uint32_t maxBytes) { m_maxStringBytes = std::min(maxBytes, stringBytesLimit); }

void CDataInStream::setMaxItemCount(int32_t maxCount)
{
    if (maxCount < 0)
        throw CInvalidArgError("the bound of an item count must not be negative", "setMaxItemCount", this);
    m_maxItemCount = maxCount;
}

int32_t CDataInStream::readItemCount()
{
    const int32_t count = readInt32();
    if (count < 0)
        throw CParseError(String("The stream holds a negative number of items: ") + String::fromInt(count) +
                          String("."));
    if (count > m_maxItemCount)
        throw aboveBound("The stream holds a list of too many items: ", count, m_maxItemCount);
    return count;
}

String CDataInStream::readString() { return readUTF8(readUInt()); }

String CDataInStream::tryReadString()
{
    uint8_t count[4];
    if (stream().read(count, sizeof count) < static_cast<int32_t>(sizeof count))
        return emptyUTF8();
    return readUTF8(loadLittleEndian<uint32_t>(count));
}

String CDataInStream::readUTF8(uint32_t byteCount)
{
    if (byteCount > m_maxStringBytes)
        throw aboveBound("The stream holds a string of too many bytes: ", byteCount, m_maxStringBytes);
    if (byteCount == 0)
        return emptyUTF8();
    Block block;
    std::size_t filled = 0;
    while (filled < byteCount) {
        const std::size_t capacity = nextCapacity(filled, byteCount);
        resize(block, capacity + 1);
        stream().readFully(block.get() + filled, static_cast<int32_t>(capacity - filled));
        filled = capacity;
    }
    block.get()[filled] = 0;
    P<IString> text = make<CUTF8String>(block.get(), static_cast<int32_t>(filled), -1, true, CString::Mode::adopt);
    block.release();
    return String(text);
}

P<ISerializable> CDataInStream::readObject(ISerializable& target)
{
    if (readBool())
        return nullptr;
    target.read(*this);
    if (readInt() != objectMarker)
        throw CException(String(), String("Error in object serialization.. write/read differ?"));
    return P<ISerializable>(&target);
}

P<IURI> CDataInStream::readURI()
{
    if (readBool())
        return nullptr;
    return make<CURI>(readString());
}

} // namespace lumo
