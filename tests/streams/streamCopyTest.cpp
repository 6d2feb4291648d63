#include "streams/streamCopy.h"

#include "foundation/CInvalidArgError.h"
#include "streams/CMemoryIOStream.h"
#include "streams/IAbortFlag.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

// A memory stream whose first reads find nothing, as a pipe does before the
// writer's data arrives; counts every read.
class CLateSource : public CMemoryIOStream {
public:
    CLateSource(const std::string& data, int emptyReads) : m_emptyReads(emptyReads)
    {
        write(data.data(), static_cast<int32_t>(data.size()));
        seek(0);
    }

    int32_t read(void* buffer, int32_t count) override
    {
        ++m_reads;
        if (m_emptyReads > 0) {
            --m_emptyReads;
            return 0;
        }
        return CMemoryIOStream::read(buffer, count);
    }

    int m_reads = 0;

private:
    int m_emptyReads;
};

// Asks for a stop from its `allowed`+1-th query on.
class CCountingAbortFlag : public CObject, public virtual IAbortFlag {
public:
    explicit CCountingAbortFlag(int allowed) : m_allowed(allowed) {}
    bool isAbortRequested() override { return m_queries++ >= m_allowed; }

private:
    int m_allowed;
    int m_queries = 0;
};

std::string contentOf(CMemoryIOStream& stream)
{
    std::string bytes(static_cast<size_t>(stream.getSize()), '\0');
    stream.seek(0);
    stream.readFully(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

TEST(streamCopyTest, CopiesEverythingThroughGivenOrTemporaryBuffer)
{
    const std::string data = "0123456789abcdefghij";
    char buffer[3];
    for (void* given : {static_cast<void*>(buffer), static_cast<void*>(nullptr)}) {
        P<CLateSource> in = make<CLateSource>(data, 0);
        in->skip(4);
        P<CMemoryIOStream> out = make<CMemoryIOStream>();
        copyStream(*in, *out, given, sizeof buffer, nullptr, false);
        EXPECT_EQ(contentOf(*out), data.substr(4));
        EXPECT_EQ(in->m_reads, 6); // 16 bytes in reads of 3
    }
}

TEST(streamCopyTest, WaitingCopyRetriesEmptyReadsUntilDataArrives)
{
    P<CLateSource> in = make<CLateSource>("late data", 3);
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    copyStream(*in, *out, nullptr, 4, nullptr, true);
    EXPECT_EQ(contentOf(*out), "late data");
    EXPECT_EQ(in->m_reads, 3 + 3);
}

TEST(streamCopyTest, AbortStopsBetweenBlocks)
{
    for (bool bWait : {false, true}) {
        P<CLateSource> in = make<CLateSource>("abcdefgh", 0);
        P<CMemoryIOStream> out = make<CMemoryIOStream>();
        P<CCountingAbortFlag> abort = make<CCountingAbortFlag>(2);
        copyStream(*in, *out, nullptr, 2, abort.get(), bWait);
        EXPECT_EQ(contentOf(*out), "abcd") << bWait;
    }
}

TEST(streamCopyTest, AbortEndsAWaitForDataThatNeverComes)
{
    P<CLateSource> in = make<CLateSource>("never", 1000000);
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    P<CCountingAbortFlag> abort = make<CCountingAbortFlag>(2);
    copyStream(*in, *out, nullptr, 8, abort.get(), true);
    EXPECT_EQ(in->m_reads, 2);
    EXPECT_EQ(out->getSize(), 0);
}

TEST(streamCopyTest, RefusesAnEmptyBuffer)
{
    P<CLateSource> in = make<CLateSource>("x", 0);
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    EXPECT_THROW(copyStream(*in, *out, nullptr, 0, nullptr, false), CInvalidArgError);
    EXPECT_EQ(in->m_reads, 0);
}

} // namespace
} // namespace lumo
