#include "platform/posix/CDiskStreamFactory.h"

#include "CTempFolder.h"
#include "foundation/CFileNotFoundError.h"
#include "platform/getStreamManager.h"

namespace lumo::posix {
namespace {

TEST(CDiskStreamFactoryTest, AnswersForFileURIsOnly)
{
    CTempFolder folder;
    folder.put("f", "x");
    P<CDiskStreamFactory> factory = make<CDiskStreamFactory>();
    P<IURI> other = make<CURI>(String("http://host/f"));
    EXPECT_FALSE(factory->openInStream(other));
    EXPECT_FALSE(factory->openOutStream(other));
    EXPECT_FALSE(factory->openIOStream(other));
    EXPECT_TRUE(factory->openInStream(make<CURI>(String("FILE://") + folder.uriOf("f")->getEscapedPath())));
}

TEST(CDiskStreamFactoryTest, ProcessStreamManagerOpensFilesByURI)
{
    CTempFolder folder;
    P<IURI> uri = folder.uriOf("round trip é");
    EXPECT_THROW(getStreamManager()->openInStream(uri), CFileNotFoundError);
    getStreamManager()->openOutStream(uri)->write("there and back", 14);
    char text[14];
    getStreamManager()->openInStream(uri)->readFully(text, 14);
    EXPECT_EQ(std::string(text, 14), "there and back");
    EXPECT_FALSE(getStreamManager()->openIOStream(uri)->isEOF());
}

} // namespace
} // namespace lumo::posix
