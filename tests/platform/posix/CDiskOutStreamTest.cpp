#include "platform/posix/CDiskOutStream.h"

#include "CTempFolder.h"
#include "foundation/castObject.h"
#include "streams/CMemoryIOStream.h"

namespace lumo::posix {
namespace {

TEST(CDiskOutStreamTest, CreatesOrEmptiesTheFileAndPullsFromAnotherStream)
{
    CTempFolder folder;
    folder.put("old", "old content that is long");
    for (const char* name : {"old", "new"}) {
        P<CMemoryIOStream> source = make<CMemoryIOStream>();
        P<CDiskOutStream> out = make<CDiskOutStream>(folder.uriOf(name));
        EXPECT_FALSE(castObject<IInStream>(out, false));
        EXPECT_EQ(out->getSize(), 0) << name;
        source->write("pulled bytes", 12);
        source->seek(0);
        out->copyFrom(*source, nullptr, 5, nullptr);
        out->seek(0);
        EXPECT_EQ(out->writeCounted("P", 1), 1);
        out->close();
        EXPECT_EQ(folder.get(name), "Pulled bytes") << name;
    }
}

} // namespace
} // namespace lumo::posix
