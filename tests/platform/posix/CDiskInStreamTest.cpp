#include "platform/posix/CDiskInStream.h"

#include "CTempFolder.h"
#include "expectError.h"
#include "foundation/castObject.h"
#include "streams/CEndOfStreamError.h"
#include "streams/CMemoryIOStream.h"

namespace lumo::posix {
namespace {

TEST(CDiskInStreamTest, ReadsSkipsAndEnds)
{
    CTempFolder folder;
    folder.put("in file", "abcdefgh" + std::string(100000, 'q'));
    P<CDiskInStream> in = make<CDiskInStream>(folder.uriOf("in file"));
    EXPECT_FALSE(castObject<IOutStream>(in, false));
    EXPECT_EQ(in->getSize(), 100008);
    char buffer[16];
    in->readFully(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    in->skipFully(2);
    EXPECT_EQ(in->skip(1), 1);
    EXPECT_EQ(in->getPosition(), 6);
    EXPECT_EQ(in->read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "gh");
    P<CMemoryIOStream> out = make<CMemoryIOStream>();
    in->copyTo(*out, nullptr, 4096, nullptr);
    EXPECT_EQ(out->getSize(), 100000);
    EXPECT_TRUE(in->isEOF());
    EXPECT_EQ(in->read(buffer, 16), 0);
    EXPECT_EQ(in->skip(4), 0);
    expectError<CEndOfStreamError>("Unexpected end of data stream (uri: '" + in->getURI()->getText().toUTF8() + "').",
                                   [&] { in->readFully(buffer, 1); });
}

} // namespace
} // namespace lumo::posix
