#include "platform/posix/CDiskOutStream.h"

#include "CTempFolder.h"
#include "foundation/castObject.h"
#include "streams/CMemoryIOStream.h"

namespace lumo::posix {
namespace {

TEST(CDiskOutStreamTest, CreatesOrEmptiesTheFile)
{
    CTempFolder folder;
    folder.put("old", "old content");
    for (const char* name : {"old", "new"}) {
        P<CDiskOutStream> out = make<CDiskOutStream>(folder.uriOf(name));
        EXPECT_EQ(out->getSize(), 0) << name;
        out->write("fresh", 5);
        EXPECT_EQ(out->writeCounted("!", 1), 1);
        EXPECT_EQ(out->getPosition(), 6);
        out->close();
        EXPECT_EQ(folder.get(name), "fresh!") << name;
    }
}

TEST(CDiskOutStreamTest, PullsFromAnotherStreamAndOverwritesAfterSeek)
{
    CTempFolder folder;
    P<CMemoryIOStream> source = make<CMemoryIOStream>();
    source->write("pulled bytes", 12);
    source->seek(0);
    P<CDiskOutStream> out = make<CDiskOutStream>(folder.uriOf("f"));
    out->copyFrom(*source, nullptr, 5, nullptr);
    out->seek(0);
    out->write("P", 1);
    EXPECT_FALSE(castObject<IInStream>(out, false));
    out = nullptr;
    EXPECT_EQ(folder.get("f"), "Pulled bytes");
}

} // namespace
} // namespace lumo::posix
