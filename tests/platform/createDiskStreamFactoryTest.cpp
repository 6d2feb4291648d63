#include "platform/createDiskStreamFactory.h"

#include "CTempFolder.h"
#include "foundation/CCastError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/castObject.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CStreamClosedError.h"
#include "streams/ISeekableStream.h"

#include <filesystem>

namespace lumo {
namespace {

P<ISeekableInStream> openIn(const P<IURI>& uri)
{
    return castObject<ISeekableInStream>(createDiskStreamFactory()->openInStream(uri));
}

P<ISeekableOutStream> openOut(const P<IURI>& uri)
{
    return castObject<ISeekableOutStream>(createDiskStreamFactory()->openOutStream(uri));
}

P<ISeekableIOStream> openIO(const P<IURI>& uri)
{
    return castObject<ISeekableIOStream>(createDiskStreamFactory()->openIOStream(uri));
}

class createDiskStreamFactoryTest : public ::testing::Test {
protected:
    CTempFolder m_folder;
};

TEST_F(createDiskStreamFactoryTest, AnswersForFileURIsOnlyAndFailsToOpenWithClearErrors)
{
    m_folder.put("f", "x");
    P<IStreamFactory> factory = createDiskStreamFactory();
    P<IURI> other = make<CURI>(String("http://host/f"));
    EXPECT_FALSE(factory->openInStream(other));
    EXPECT_FALSE(factory->openOutStream(other));
    EXPECT_FALSE(factory->openIOStream(other));
    EXPECT_FALSE(factory->openInStream(nullptr));
    EXPECT_TRUE(factory->openInStream(make<CURI>(String("FILE://") + m_folder.uriOf("f")->getEscapedPath())));

    EXPECT_THROW(openIn(m_folder.uriOf("missing")), CFileNotFoundError);
    EXPECT_THROW(openOut(m_folder.uriOf("no/such/folder")), CFileNotFoundError);
    EXPECT_THROW(openIn(m_folder.uriOf("")), CError);
}

TEST_F(createDiskStreamFactoryTest, InStreamReadsSkipsAndEnds)
{
    m_folder.put("in file", "abcdefgh" + std::string(100000, 'q'));
    P<ISeekableInStream> in = openIn(m_folder.uriOf("in file"));
    EXPECT_EQ(in->getSize(), 100008);
    char buffer[16];
    in->readFully(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    in->skipFully(2);
    EXPECT_EQ(in->skip(1), 1);
    EXPECT_EQ(in->read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "gh");
    in->skipFully(100000);
    EXPECT_TRUE(in->isEOF());
    EXPECT_EQ(in->read(buffer, 16), 0);
    EXPECT_EQ(in->skip(4), 0);
    EXPECT_THROW(in->readFully(buffer, 1), CEndOfStreamError);
}

TEST_F(createDiskStreamFactoryTest, OutStreamCreatesOrEmptiesTheFile)
{
    m_folder.put("old", "old content that is long");
    for (const char* name : {"old", "new"}) {
        P<ISeekableOutStream> out = openOut(m_folder.uriOf(name));
        EXPECT_EQ(out->getSize(), 0) << name;
        out->write("pulled bytes", 12);
        out->seek(0);
        EXPECT_EQ(out->writeCounted("P", 1), 1);
        out->close();
        EXPECT_EQ(m_folder.get(name), "Pulled bytes") << name;
    }
}

TEST_F(createDiskStreamFactoryTest, IOStreamKeepsTheBytesAndSharesOnePosition)
{
    m_folder.put("f", "keep these");
    P<ISeekableIOStream> stream = openIO(m_folder.uriOf("f"));
    char word[4];
    stream->readFully(word, 4);
    EXPECT_EQ(std::string(word, 4), "keep");

    // Written through either interface, at the position reading left.
    stream->write("_", 1);
    castObject<ISeekableOutStream>(stream)->write("T", 1);
    stream->seekFromEnd(0);
    stream->writeCounted("!", 1);
    EXPECT_EQ(m_folder.get("f"), "keep_These!");

    P<ISeekableIOStream> created = openIO(m_folder.uriOf("new"));
    EXPECT_TRUE(created->isEOF());
    created->write("x", 1);
    EXPECT_EQ(m_folder.get("new"), "x");
}

TEST_F(createDiskStreamFactoryTest, SeeksWithinTheFileReturnsToItsOwnMarkersAndOnceClosedAnswersQueriesOnly)
{
    m_folder.put("f", "0123456789");
    P<ISeekableIOStream> stream = openIO(m_folder.uriOf("f"));
    stream->seek(10);
    EXPECT_TRUE(stream->isEOF());
    stream->seekFromEnd(-4);
    P<IStreamMarker> marker = stream->createMarker();
    stream->seekRelative(-6);
    EXPECT_EQ(stream->getPosition(), 0);
    marker->reset();
    char digit;
    stream->readFully(&digit, 1);
    EXPECT_EQ(digit, '6');

    for (int64_t bad : {int64_t(-1), int64_t(11), INT64_MAX})
        EXPECT_THROW(stream->seek(bad), CInvalidArgError) << bad;
    EXPECT_THROW(stream->resetToMarker(*openIO(m_folder.uriOf("f"))->createMarker()), CCastError);
    EXPECT_EQ(stream->getPosition(), 7);

    stream->close();
    stream->close();
    EXPECT_TRUE(stream->isClosed());
    EXPECT_EQ(stream->getSize(), 10);
    EXPECT_EQ(stream->getPosition(), 7);
    EXPECT_TRUE(stream->isEOF());
    EXPECT_THROW(stream->read(&digit, 1), CStreamClosedError);
    EXPECT_THROW(marker->reset(), CStreamClosedError);
}

TEST_F(createDiskStreamFactoryTest, OpenFilesCanBeReadWrittenAndDeletedByOthers)
{
    m_folder.put("shared", "0123");
    P<ISeekableIOStream> writer = openIO(m_folder.uriOf("shared"));
    P<ISeekableInStream> reader = openIn(m_folder.uriOf("shared"));
    writer->seekFromEnd(0);
    writer->write("45", 2);
    char digits[6];
    reader->readFully(digits, 6);
    EXPECT_EQ(std::string(digits, 6), "012345");
    std::error_code error;
    EXPECT_TRUE(std::filesystem::remove(m_folder.pathOf("shared"), error)) << error.message();
}

} // namespace
} // namespace lumo
