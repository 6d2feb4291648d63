#include "platform/posix/CDiskIOStream.h"

#include "CTempFolder.h"
#include "foundation/castObject.h"

namespace lumo::posix {
namespace {

TEST(CDiskIOStreamTest, KeepsTheBytesAndSharesOnePosition)
{
    CTempFolder folder;
    folder.put("f", "keep these");
    P<CDiskIOStream> stream = make<CDiskIOStream>(folder.uriOf("f"));
    char word[4];
    stream->readFully(word, 4);
    EXPECT_EQ(std::string(word, 4), "keep");

    // Written through either interface, at the position reading left.
    P<IIOStream> io = castObject<ISeekableIOStream>(stream);
    P<IOutStream> out = castObject<ISeekableOutStream>(stream);
    io->write("_", 1);
    out->write("T", 1);
    stream->seekFromEnd(0);
    io->writeCounted("!", 1);
    stream->seek(0);
    char all[11];
    stream->readFully(all, 11);
    EXPECT_EQ(std::string(all, 11), "keep_These!");
}

TEST(CDiskIOStreamTest, CreatesAMissingFile)
{
    CTempFolder folder;
    P<CDiskIOStream> stream = make<CDiskIOStream>(folder.uriOf("new"));
    EXPECT_EQ(stream->getSize(), 0);
    EXPECT_TRUE(stream->isEOF());
    stream->write("x", 1);
    EXPECT_EQ(folder.get("new"), "x");
}

} // namespace
} // namespace lumo::posix
