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
    castObject<ISeekableIOStream>(stream)->write("_", 1);
    castObject<ISeekableOutStream>(stream)->write("T", 1);
    stream->seekFromEnd(0);
    stream->writeCounted("!", 1);
    EXPECT_EQ(folder.get("f"), "keep_These!");

    P<CDiskIOStream> created = make<CDiskIOStream>(folder.uriOf("new"));
    EXPECT_TRUE(created->isEOF());
    created->write("x", 1);
    EXPECT_EQ(folder.get("new"), "x");
}

} // namespace
} // namespace lumo::posix
