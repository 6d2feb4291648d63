#include "platform/posix/CDiskInStream.h"

#include "CTempFolder.h"
#include "foundation/castObject.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CMemoryIOStream.h"

namespace lumo::posix {
namespace {

TEST(CDiskInStreamTest, ReadsSkipsAndEnds)
{
    CTempFolder folder;
    folder.put("in", "abcdefgh");
    P<CDiskInStream> in = make<CDiskInStream>(folder.uriOf("in"));
    EXPECT_EQ(in->getSize(), 8);
    char buffer[16];
    in->readFully(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    in->skipFully(2);
    EXPECT_EQ(in->skip(1), 1);
    EXPECT_EQ(in->getPosition(), 6);
    EXPECT_FALSE(in->isEOF());
    EXPECT_EQ(in->read(buffer, 16), 2);
    EXPECT_EQ(std::string(buffer, 2), "gh");
    EXPECT_TRUE(in->isEOF());
    EXPECT_EQ(in->read(buffer, 16), 0);
    EXPECT_EQ(in->skip(4), 0);
    EXPECT_THROW(in->skipFully(1), CEndOfStreamError);
    EXPECT_FALSE(castObject<IOutStream>(in, false));
}

TEST(CDiskInStreamTest, ShortReadFullyNamesTheURI)
{
    CTempFolder folder;
    folder.put("short file", "ab");
    P<CDiskInStream> in = make<CDiskInStream>(folder.uriOf("short file"));
    char buffer[4];
    try {
        in->readFully(buffer, 4);
        FAIL();
    } catch (const CEndOfStreamError& error) {
        EXPECT_EQ(error.getDescription()->toUTF8(),
                  "Unexpected end of data stream (uri: '" + in->getURI()->getText().toUTF8() + "').");
    }
}

TEST(CDiskInStreamTest, CopiesTheRestIntoAnotherStream)
{
    CTempFolder folder;
    const std::string content(100000, 'q');
    folder.put("big", content + "!");
    P<CDiskInStream> in = make<CDiskInStream>(folder.uriOf("big"));
    in->skip(1);
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    in->copyTo(*out, nullptr, 4096, nullptr);
    EXPECT_EQ(out->getSize(), 100000);
    EXPECT_TRUE(in->isEOF());
}

} // namespace
} // namespace lumo::posix
