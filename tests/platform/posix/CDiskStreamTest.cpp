#include "platform/CDiskIOStream.h"

#include "CTempFolder.h"
#include "foundation/CFileAccessDeniedError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "foundation/castObject.h"

#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lumo::posix {
namespace {

TEST(CDiskStreamTest, RefusesOtherHostsAndReadOnlyFiles)
{
    EXPECT_THROW(make<CDiskInStream>(make<CURI>(String("file://elsewhere/x"))), CURITypeNotSupportedError);
    // Kernel settings of mode 0444 refuse writing even to root.
    const char* readOnlySetting = "/proc/sys/kernel/osrelease";
    if (access(readOnlySetting, F_OK) == 0) {
        EXPECT_THROW(make<CDiskOutStream>(CURI::fromNativePath(String(readOnlySetting))), CFileAccessDeniedError);
    }
}

TEST(CDiskStreamTest, FileThatCannotSeekOffersNoPosition)
{
    CTempFolder folder;
    ASSERT_EQ(mkfifo(folder.pathOf("fifo").c_str(), 0600), 0);
    std::thread writer([&folder] { make<CDiskOutStream>(folder.uriOf("fifo"))->write("through a fifo", 14); });
    P<CDiskInStream> in = make<CDiskInStream>(folder.uriOf("fifo"));
    EXPECT_FALSE(castObject<ISeekableInStream>(in, false));
    EXPECT_FALSE(castObject<IResetableStream>(in, false));
    EXPECT_EQ(in->getPosition(), -1);
    EXPECT_EQ(in->getSize(), -1);
    EXPECT_THROW(in->createMarker(), CError);

    char text[14];
    in->readFully(text, 14);
    writer.join();
    EXPECT_EQ(std::string(text, 14), "through a fifo");
    EXPECT_FALSE(in->isEOF());
    EXPECT_EQ(in->read(text, 14), 0);
    EXPECT_TRUE(in->isEOF());
}

} // namespace
} // namespace lumo::posix
