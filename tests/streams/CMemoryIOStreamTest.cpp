#include "streams/CMemoryIOStream.h"

#include "foundation/CCastError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CMemoryBlock.h"
#include "streams/CMemoryManager.h"
#include "streams/CStreamClosedError.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <thread>

namespace lumo {
namespace {

// Hands out one plain block and keeps it, so that tests can watch it grow.
class CWatchedManager : public CObject, public virtual IMemoryManager {
public:
    P<IMemoryBlock> allocate(int32_t capacity) override
    {
        m_block = make<CMemoryBlock>(capacity);
        return m_block;
    }
    void purge() override {}

    P<CMemoryBlock> m_block;
};

P<CMemoryIOStream> streamWith(const std::string& bytes)
{
    P<CMemoryIOStream> stream = make<CMemoryIOStream>();
    stream->write(bytes.data(), static_cast<int32_t>(bytes.size()));
    return stream;
}

std::string readRest(IInStream& stream)
{
    char buffer[64];
    const int32_t count = stream.read(buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(count));
}

TEST(CMemoryIOStreamTest, EmptyStreamReadsNothing)
{
    P<CMemoryIOStream> stream = make<CMemoryIOStream>();
    char byte = 0;
    EXPECT_TRUE(stream->isEOF());
    EXPECT_EQ(stream->read(&byte, 1), 0);
    EXPECT_EQ(stream->skip(5), 0);
    EXPECT_EQ(stream->getPosition(), 0);
    EXPECT_THROW(stream->readFully(&byte, 1), CEndOfStreamError);
    EXPECT_THROW(stream->skipFully(1), CEndOfStreamError);
    EXPECT_FALSE(stream->getURI());
}

TEST(CMemoryIOStreamTest, OnePositionForWritingAndReading)
{
    P<CMemoryIOStream> stream = streamWith("hello world");
    EXPECT_EQ(stream->getPosition(), 11);
    stream->seek(6);
    stream->write("W", 1);
    EXPECT_EQ(stream->getSize(), 11);
    EXPECT_EQ(readRest(*stream), "orld");
    stream->seek(0);
    char word[5];
    stream->readFully(word, 5);
    EXPECT_EQ(std::string(word, 5), "hello");
    stream->skipFully(1);
    EXPECT_EQ(readRest(*stream), "World");
    EXPECT_TRUE(stream->isEOF());

    stream->seek(9);
    stream->write("d!!", 3);
    EXPECT_EQ(stream->getSize(), 12);
    stream->seek(0);
    EXPECT_EQ(readRest(*stream), "hello Word!!");
}

TEST(CMemoryIOStreamTest, ShortReadFullyConsumesWhatThereIsAndNamesTheURI)
{
    P<CURI> uri = make<CURI>(String("memory:scratch"));
    P<CMemoryIOStream> stream = make<CMemoryIOStream>(nullptr, uri);
    stream->write("abc", 3);
    stream->seek(1);
    char buffer[8];
    try {
        stream->readFully(buffer, 8);
        FAIL();
    } catch (const CEndOfStreamError& error) {
        EXPECT_EQ(error.getDescription()->toUTF8(), "Unexpected end of data stream (uri: 'memory:scratch').");
    }
    EXPECT_EQ(stream->getPosition(), 3);
    EXPECT_EQ(stream->getURI().get(), static_cast<IURI*>(uri.get()));
}

TEST(CMemoryIOStreamTest, SeekAcceptsZeroToSizeInclusive)
{
    P<CMemoryIOStream> stream = streamWith("0123456789");
    stream->seek(10);
    EXPECT_TRUE(stream->isEOF());
    stream->seekFromEnd(-3);
    EXPECT_EQ(stream->getPosition(), 7);
    stream->seekRelative(-7);
    EXPECT_EQ(stream->getPosition(), 0);

    const std::function<void()> badSeeks[] = {
        [&] { stream->seek(11); },
        [&] { stream->seek(-1); },
        [&] { stream->seekFromEnd(1); },
        [&] { stream->seekFromEnd(-11); },
        [&] { stream->seekRelative(-1); },
        [&] { stream->seekFromEnd(std::numeric_limits<int64_t>::max()); },
        [&] { stream->seekRelative(std::numeric_limits<int64_t>::min()); },
    };
    for (const auto& badSeek : badSeeks)
        EXPECT_THROW(badSeek(), CInvalidArgError);
    EXPECT_EQ(stream->getPosition(), 0);
}

TEST(CMemoryIOStreamTest, ZeroByteWriteChangesNothing)
{
    P<CMemoryIOStream> stream = streamWith("ab");
    stream->seek(1);
    stream->write("", 0);
    EXPECT_EQ(stream->writeCounted("", 0), 0);
    EXPECT_EQ(stream->getPosition(), 1);
    EXPECT_EQ(stream->getSize(), 2);
}

TEST(CMemoryIOStreamTest, BadCountsAndBuffersAreRefused)
{
    P<CMemoryIOStream> stream = streamWith("ab");
    stream->seek(0);
    char byte;
    EXPECT_THROW(stream->read(&byte, -1), CInvalidArgError);
    EXPECT_THROW(stream->read(nullptr, 1), CInvalidArgError);
    EXPECT_THROW(stream->skip(-1), CInvalidArgError);
    EXPECT_THROW(stream->write(&byte, -1), CInvalidArgError);
    EXPECT_THROW(stream->write(nullptr, 1), CInvalidArgError);
    EXPECT_EQ(stream->getPosition(), 0);
    EXPECT_EQ(stream->getSize(), 2);
}

TEST(CMemoryIOStreamTest, ClosedStreamAnswersQueriesOnly)
{
    P<CMemoryIOStream> stream = streamWith("abc");
    P<IStreamMarker> marker = stream->createMarker();
    stream->close();
    EXPECT_TRUE(stream->isClosed());
    EXPECT_EQ(stream->getPosition(), 3);
    EXPECT_EQ(stream->getSize(), 3);
    EXPECT_TRUE(stream->isEOF());

    char byte;
    P<CMemoryIOStream> other = make<CMemoryIOStream>();
    const std::function<void()> operations[] = {
        [&] { stream->read(&byte, 1); },
        [&] { stream->readFully(&byte, 0); },
        [&] { stream->skip(0); },
        [&] { stream->skipFully(0); },
        [&] { stream->write(&byte, 0); },
        [&] { stream->writeCounted(&byte, 1); },
        [&] { stream->checkOpen(); },
        [&] { stream->seek(0); },
        [&] { stream->seekFromEnd(0); },
        [&] { stream->seekRelative(0); },
        [&] { stream->createMarker(); },
        [&] { marker->reset(); },
        [&] { stream->clear(); },
        [&] { stream->copyTo(*other, nullptr, 4, nullptr); },
        [&] { stream->copyFrom(*other, nullptr, 4, nullptr); },
    };
    for (size_t i = 0; i < std::size(operations); ++i)
        EXPECT_THROW(operations[i](), CStreamClosedError) << i;
    EXPECT_EQ(stream->getSize(), 3);
}

TEST(CMemoryIOStreamTest, MarkerReturnsToItsPosition)
{
    P<CMemoryIOStream> stream = streamWith("abcdef");
    stream->seek(2);
    P<IStreamMarker> marker = stream->createMarker();
    stream->seek(5);
    marker->reset();
    EXPECT_EQ(stream->getPosition(), 2);
    stream->seek(0);
    stream->resetToMarker(*marker);
    EXPECT_EQ(readRest(*stream), "cdef");

    stream->clear();
    EXPECT_THROW(marker->reset(), CInvalidArgError); // the position is gone
}

TEST(CMemoryIOStreamTest, MarkersOfOtherStreamsAreRefused)
{
    P<CMemoryIOStream> stream = streamWith("abc");
    P<CMemoryIOStream> other = streamWith("abc");
    P<IStreamMarker> foreign = other->createMarker();
    EXPECT_THROW(stream->resetToMarker(*foreign), CCastError);

    class CStrangeMarker : public CObject, public virtual IStreamMarker {
        void reset() override {}
    };
    P<IStreamMarker> strange = make<CStrangeMarker>();
    EXPECT_THROW(stream->resetToMarker(*strange), CCastError);
    EXPECT_EQ(stream->getPosition(), 3);
}

TEST(CMemoryIOStreamTest, ClearEmptiesTheStream)
{
    P<CMemoryIOStream> stream = streamWith("abc");
    stream->clear();
    EXPECT_EQ(stream->getSize(), 0);
    EXPECT_EQ(stream->getPosition(), 0);
    stream->write("z", 1);
    stream->seek(0);
    EXPECT_EQ(readRest(*stream), "z");
}

TEST(CMemoryIOStreamTest, AppendingGrowsTheBlockByDoubling)
{
    P<CWatchedManager> manager = make<CWatchedManager>();
    P<CMemoryIOStream> stream = make<CMemoryIOStream>(manager, nullptr, 0);
    std::string expected;
    int growths = 0;
    for (int i = 0; i < 100000; ++i) {
        const char byte = static_cast<char>('a' + i % 26);
        const int32_t before = manager->m_block->getCapacity();
        stream->write(&byte, 1);
        growths += manager->m_block->getCapacity() != before;
        expected += byte;
    }
    EXPECT_LE(growths, 20);
    EXPECT_EQ(manager->m_block->getSize(), 100000);

    // Reaching the end reserves twice the size before it.
    stream->seek(0);
    const int32_t size = manager->m_block->getSize();
    std::string more(static_cast<size_t>(manager->m_block->getCapacity() - size + 1), 'x');
    stream->seekFromEnd(0);
    stream->write(more.data(), static_cast<int32_t>(more.size()));
    EXPECT_GE(manager->m_block->getCapacity(), 2 * size);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(manager->m_block->getData()), 100000), expected);
}

TEST(CMemoryIOStreamTest, BlockGoesBackToItsManagerWithTheStream)
{
    P<CMemoryManager> manager = make<CMemoryManager>(30);
    P<CMemoryIOStream> stream = make<CMemoryIOStream>(manager, nullptr, 256);
    stream->write("abc", 3);
    EXPECT_EQ(manager->getCachedBytes(), 0);
    stream = nullptr;
    EXPECT_EQ(manager->getCachedBytes(), 256);
}

TEST(CMemoryIOStreamTest, CopiesToAndFromOtherStreams)
{
    P<CMemoryIOStream> source = streamWith("copy me");
    source->seek(5);
    P<CMemoryIOStream> target = streamWith(">");
    source->copyTo(*target, nullptr, 2, nullptr);
    target->seek(0);
    EXPECT_EQ(readRest(*target), ">me");

    target->seek(0);
    P<CMemoryIOStream> pulled = make<CMemoryIOStream>();
    pulled->copyFrom(*target, nullptr, 1, nullptr);
    pulled->seek(0);
    EXPECT_EQ(readRest(*pulled), ">me");
}

TEST(CMemoryIOStreamTest, ConcurrentWritesNeverInterleave)
{
    P<CMemoryIOStream> stream = make<CMemoryIOStream>();
    std::thread writers[4];
    for (int t = 0; t < 4; ++t)
        writers[t] = std::thread([&stream, t] {
            const std::string record(16, static_cast<char>('A' + t));
            for (int i = 0; i < 500; ++i)
                stream->write(record.data(), 16);
        });
    for (std::thread& writer : writers)
        writer.join();
    ASSERT_EQ(stream->getSize(), 4 * 500 * 16);
    stream->seek(0);
    char record[16];
    for (int i = 0; i < 4 * 500; ++i) {
        stream->readFully(record, 16);
        EXPECT_EQ(std::string(record, 16), std::string(16, record[0])) << i;
    }
}

} // namespace
} // namespace lumo
