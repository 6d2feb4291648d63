// Feeds arbitrary bytes to the data-stream reads. The first byte says how
// many reads follow, the next bytes which ones; the rest is the stream.
// Every value that reads back is written again, and where the encoding is
// one to one the bytes written must be the bytes consumed. Only the
// library's own errors may end a read.

#include "foundation/CException.h"
#include "foundation/CObject.h"
#include "foundation/ICharEncoding.h"
#include "foundation/IURI.h"
#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CMemoryIOStream.h"
#include "streams/ISerializable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace lumo;

// A body of up to three strings and, while `depth` lasts, a nested record,
// so that objects are read inside objects.
class CFuzzRecord : public CObject, public virtual ISerializable {
public:
    explicit CFuzzRecord(int depth) : m_depth(depth) {}

    void write(IDataOutStream& out) override
    {
        out.writeUInt8(static_cast<uint8_t>(m_texts.size()));
        for (const String& text : m_texts)
            out.writeString(*text.get());
        if (m_depth > 0)
            out.writeObject(m_nested.get());
    }

    bool read(IDataInStream& in) override
    {
        m_texts.clear();
        const int count = in.readUInt8() % 4;
        for (int i = 0; i < count; ++i)
            m_texts.push_back(in.readString());
        if (m_depth > 0) {
            P<CFuzzRecord> nested = make<CFuzzRecord>(m_depth - 1);
            m_nested = in.readObject(*nested) ? nested : nullptr;
        }
        return true;
    }

private:
    const int m_depth;
    std::vector<String> m_texts;
    P<CFuzzRecord> m_nested;
};

// Uses a string the ways the remote layer does, decoding every character.
void touch(const String& text)
{
    volatile std::size_t sink = text.getLength() + text.toUTF8().size() + text->toUTF16().size();
    (void)sink;
}

enum class Echo { exact, loose };

constexpr int readKinds = 19;

// Performs read number `kind` and writes what it gave to `out`; says whether
// the written bytes must equal the consumed ones.
Echo readAndEcho(int kind, IDataInStream& in, IDataOutStream& out)
{
    switch (kind) {
    case 0:
        out.writeInt8(in.readInt8());
        return Echo::exact;
    case 1:
        out.writeInt16(in.readInt16());
        return Echo::exact;
    case 2:
        out.writeInt32(in.readInt32());
        return Echo::exact;
    case 3:
        out.writeInt64(in.readInt64());
        return Echo::exact;
    case 4:
        out.writeUInt8(in.readUInt8());
        return Echo::exact;
    case 5:
        out.writeUInt16(in.readUInt16());
        return Echo::exact;
    case 6:
        out.writeUInt32(in.readUInt32());
        return Echo::exact;
    case 7:
        out.writeUInt64(in.readUInt64());
        return Echo::exact;
    case 8:
        out.writeInt(in.readInt());
        return Echo::exact;
    case 9:
        out.writeUInt(in.readUInt());
        return Echo::exact;
    case 10:
        out.writeFloat(in.readFloat());
        return Echo::exact;
    case 11:
        out.writeDouble(in.readDouble());
        return Echo::exact;
    case 12:
        out.writeBool(in.readBool());
        return Echo::loose;
    case 13: {
        const String text = in.readString();
        touch(text);
        out.writeString(*text.get());
        return Echo::exact;
    }
    case 14:
        touch(in.tryReadString());
        return Echo::loose;
    case 15: {
        P<CFuzzRecord> record = make<CFuzzRecord>(2);
        out.writeObject(in.readObject(*record).get());
        return Echo::loose;
    }
    case 16: {
        P<IURI> uri = in.readURI();
        if (uri)
            touch(uri->getDisplayText());
        out.writeURI(uri.get());
        return Echo::loose;
    }
    case 17: {
        uint8_t buffer[7];
        out.write(buffer, in.read(buffer, sizeof buffer));
        return Echo::exact;
    }
    default:
        in.skip(5);
        return Echo::loose;
    }
}

std::vector<uint8_t> contentOf(CMemoryIOStream& stream)
{
    std::vector<uint8_t> bytes(static_cast<std::size_t>(stream.getSize()));
    stream.seek(0);
    stream.readFully(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t readCount = std::min<std::size_t>(data[0] % 16 + 1, size - 1);
    const uint8_t* kinds = data + 1;
    const uint8_t* payload = kinds + readCount;
    const auto payloadSize = static_cast<int32_t>(size - 1 - readCount);

    P<CMemoryIOStream> source = make<CMemoryIOStream>();
    source->write(payload, payloadSize);
    source->seek(0);
    P<CDataInStream> in = make<CDataInStream>(source);
    P<CMemoryIOStream> echo = make<CMemoryIOStream>();
    P<CDataOutStream> out = make<CDataOutStream>(echo);

    for (std::size_t i = 0; i < readCount; ++i) {
        const int64_t start = source->getPosition();
        echo->clear();
        Echo expectation;
        try {
            expectation = readAndEcho(kinds[i] % readKinds, *in, *out);
        } catch (const CException&) {
            continue;
        }
        const int64_t end = source->getPosition();
        if (expectation != Echo::exact)
            continue;
        const std::vector<uint8_t> written = contentOf(*echo);
        if (!std::equal(written.begin(), written.end(), payload + start, payload + end))
            __builtin_trap();
    }
    return 0;
}
