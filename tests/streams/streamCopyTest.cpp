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

// What copyStream writes into an empty memory stream.
std::string copied(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort, bool bWait)
{
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    copyStream(in, *out, buffer, bufferSize, abort, bWait);
    std::string bytes(static_cast<size_t>(out->getSize()), '\0');
    out->seek(0);
    out->readFully(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

TEST(streamCopyTest, CopiesTheRestThroughGivenOrTemporaryBufferWaitingForLateDataWhenAsked)
{
    char buffer[3];
    for (void* given : {static_cast<void*>(buffer), static_cast<void*>(nullptr)}) {
        P<CLateSource> in = make<CLateSource>("0123456789abcdefghij", 0);
        in->skip(4);
        EXPECT_EQ(copied(*in, given, sizeof buffer, nullptr, false), "456789abcdefghij");
        EXPECT_EQ(in->m_reads, 6);
    }
    P<CLateSource> in = make<CLateSource>("late data", 3);
    EXPECT_EQ(copied(*in, nullptr, 4, nullptr, true), "late data");
    EXPECT_EQ(in->m_reads, 3 + 3);
}

TEST(streamCopyTest, AbortStopsBetweenBlocksAndEndsAWait)
{
    for (bool bWait : {false, true}) {
        P<CLateSource> in = make<CLateSource>("abcdefgh", 0);
        EXPECT_EQ(copied(*in, nullptr, 2, make<CCountingAbortFlag>(2).get(), bWait), "abcd") << bWait;
    }
    P<CLateSource> never = make<CLateSource>("never", 1000000);
    EXPECT_EQ(copied(*never, nullptr, 8, make<CCountingAbortFlag>(2).get(), true), "");
    EXPECT_EQ(never->m_reads, 2);

    EXPECT_THROW(copied(*never, nullptr, 0, nullptr, false), CInvalidArgError);
}

} // namespace
} // namespace lumo
