#include "streams/CMemoryIOStream.h"

#include "expectError.h"
#include "foundation/CCastError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CStreamClosedError.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace lumo {
namespace {

P<CMemoryIOStream> streamWith(const std::string& bytes, P<IURI> uri = nullptr)
{
    P<CMemoryIOStream> stream = make<CMemoryIOStream>(nullptr, uri);
    stream->write(bytes.data(), static_cast<int32_t>(bytes.size()));
    return stream;
}

std::string readRest(IInStream& stream)
{
    char buffer[64];
    return std::string(buffer, static_cast<size_t>(stream.read(buffer, sizeof buffer)));
}

TEST(CMemoryIOStreamTest, ReadsPastTheEndAreShortAndOnlyTheFullFormsThrow)
{
    P<CMemoryIOStream> stream = make<CMemoryIOStream>();
    char buffer[8];
    EXPECT_TRUE(stream->isEOF());
    EXPECT_EQ(stream->read(buffer, 1), 0);
    EXPECT_EQ(stream->skip(5), 0);
    EXPECT_EQ(stream->getPosition(), 0);
    expectError<CEndOfStreamError>("Unexpected end of data stream.", [&] { stream->readFully(buffer, 1); });
    EXPECT_THROW(stream->skipFully(1), CEndOfStreamError);

    P<CURI> uri = make<CURI>(String("memory:a%20b"));
    stream = streamWith("abc", uri);
    stream->seek(1);
    expectError<CEndOfStreamError>("Unexpected end of data stream (uri: 'memory:a%20b').",
                                   [&] { stream->readFully(buffer, 8); });
    EXPECT_EQ(stream->getPosition(), 3); // what there was is consumed
}

TEST(CMemoryIOStreamTest, OnePositionForWritingAndReading)
{
    P<CMemoryIOStream> stream = streamWith("hello world");
    stream->seek(6);
    stream->write("W", 1);
    EXPECT_EQ(stream->getPosition(), 7);
    EXPECT_EQ(stream->getSize(), 11);
    stream->seek(0);
    EXPECT_EQ(readRest(*stream), "hello World");
    stream->seek(9);
    stream->write("d!!", 3);
    stream->seek(0);
    EXPECT_EQ(readRest(*stream), "hello Word!!");
}

TEST(CMemoryIOStreamTest, BadPositionsCountsAndBuffersAreRefused)
{
    P<CMemoryIOStream> stream = streamWith("0123456789");
    stream->seek(10);
    EXPECT_TRUE(stream->isEOF());
    stream->seekFromEnd(-3);
    stream->seekRelative(-7);
    EXPECT_EQ(stream->getPosition(), 0);

    char byte;
    const std::function<void()> refused[] = {
        [&] { stream->seek(11); },
        [&] { stream->seekRelative(-1); },
        [&] { stream->seekFromEnd(std::numeric_limits<int64_t>::max()); },
        [&] { stream->seekRelative(std::numeric_limits<int64_t>::min()); },
        [&] { stream->read(&byte, -1); },
        [&] { stream->skip(-1); },
        [&] { stream->write(nullptr, 1); },
    };
    for (size_t i = 0; i < std::size(refused); ++i)
        EXPECT_THROW(refused[i](), CInvalidArgError) << i;
    EXPECT_EQ(stream->getPosition(), 0);
    EXPECT_EQ(stream->getSize(), 10);
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
    const std::function<void()> operations[] = {
        [&] { stream->readFully(&byte, 0); },
        [&] { stream->write(&byte, 0); },
        [&] { stream->seek(0); },
        [&] { marker->reset(); },
    };
    for (size_t i = 0; i < std::size(operations); ++i) {
        SCOPED_TRACE(i);
        expectError<CStreamClosedError>("The stream has been closed.", operations[i]);
    }
}

TEST(CMemoryIOStreamTest, MarkersReturnOnlyTheirOwnStream)
{
    P<CMemoryIOStream> stream = streamWith("abcdef");
    stream->seek(2);
    P<IStreamMarker> marker = stream->createMarker();
    stream->seek(5);
    marker->reset();
    EXPECT_EQ(readRest(*stream), "cdef");

    EXPECT_THROW(stream->resetToMarker(*streamWith("abcdef")->createMarker()), CCastError);
    EXPECT_EQ(stream->getPosition(), 6);

    stream->clear();
    EXPECT_THROW(marker->reset(), CInvalidArgError); // its position is gone
}

} // namespace
} // namespace lumo
