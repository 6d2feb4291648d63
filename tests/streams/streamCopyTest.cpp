#include "streams/streamCopy.h"

#include "foundation/CInvalidArgError.h"
#include "streams/CMemoryIOStream.h"
#include "streams/IAbortFlag.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

// A memory stream whose first reads find nothing, as a pipe does before the writer's data arrives; counts every read.
struct CLateSource : CMemoryIOStream {
    CLateSource(const std::string& data, int emptyReads) : m_emptyReads(emptyReads)
    {
        write(data.data(), static_cast<int32_t>(data.size()));
        seek(0);
    }
    int32_t read(void* buffer, int32_t count) override
    {
        ++m_reads;
        return m_emptyReads-- > 0 ? 0 : CMemoryIOStream::read(buffer, count);
    }
    int m_reads = 0, m_emptyReads;
};

// Asks for a stop from its `allowed`+1-th query on.
struct CCountingAbortFlag : CObject, virtual IAbortFlag {
    explicit CCountingAbortFlag(int allowed) : m_allowed(allowed) {}
    bool isAbortRequested() override { return m_allowed-- <= 0; }
    int m_allowed;
};

std::string contentOf(CMemoryIOStream& stream)
{
    std::string bytes(static_cast<size_t>(stream.getSize()), '\0');
    stream.seek(0);
    stream.readFully(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

TEST(streamCopyTest, CopiesTheRestThroughGivenOrTemporaryBufferWaitingForLateDataWhenAsked)
{
    char buffer[3];
    for (void* given : {static_cast<void*>(buffer), static_cast<void*>(nullptr)}) {
        P<CLateSource> in = make<CLateSource>("0123456789abcdefghij", 0);
        in->skip(4);
        P<CMemoryIOStream> out = make<CMemoryIOStream>();
        copyStream(*in, *out, given, sizeof buffer, nullptr, false);
        EXPECT_EQ(contentOf(*out), "456789abcdefghij");
        EXPECT_EQ(in->m_reads, 6);
    }
    P<CLateSource> in = make<CLateSource>("late data", 3);
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    copyStream(*in, *out, nullptr, 4, nullptr, true);
    EXPECT_EQ(contentOf(*out), "late data");
    EXPECT_EQ(in->m_reads, 3 + 3);
}

TEST(streamCopyTest, AbortStopsBetweenBlocksAndEndsAWait)
{
    for (bool bWait : {false, true}) {
        P<CLateSource> in = make<CLateSource>("abcdefgh", 0);
        P<CMemoryIOStream> out = make<CMemoryIOStream>();
        copyStream(*in, *out, nullptr, 2, make<CCountingAbortFlag>(2).get(), bWait);
        EXPECT_EQ(contentOf(*out), "abcd") << bWait;
    }
    P<CLateSource> never = make<CLateSource>("never", 1000000);
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    copyStream(*never, *out, nullptr, 8, make<CCountingAbortFlag>(2).get(), true);
    EXPECT_EQ(never->m_reads, 2);
    EXPECT_EQ(out->getSize(), 0);

    EXPECT_THROW(copyStream(*never, *out, nullptr, 0, nullptr, false), CInvalidArgError);
}

} // namespace
} // namespace lumo
