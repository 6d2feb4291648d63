#include "platform/posix/CDiskIOStream.h"

#include "CTempFolder.h"
#include "expectError.h"
#include "foundation/CCastError.h"
#include "foundation/CFileAccessDeniedError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "foundation/castObject.h"
#include "streams/CStreamClosedError.h"

#include <sys/stat.h>
#include <thread>

namespace lumo::posix {
namespace {

TEST(CDiskStreamTest, OpeningFailuresAreClearErrors)
{
    CTempFolder folder;
    expectError<CFileNotFoundError>("The file '" + folder.pathOf("missing") + "' was not found.",
                                    [&] { make<CDiskInStream>(folder.uriOf("missing")); });
    EXPECT_THROW(make<CDiskOutStream>(folder.uriOf("no/such/folder")), CFileNotFoundError);
    EXPECT_THROW(make<CDiskInStream>(folder.uriOf("")), CError);
    EXPECT_THROW(make<CDiskInStream>(make<CURI>(String("file://elsewhere/x"))), CURITypeNotSupportedError);
    EXPECT_THROW(make<CDiskInStream>(nullptr), CInvalidArgError);

    // Kernel settings of mode 0444 refuse writing even to root.
    const char* readOnlySetting = "/proc/sys/kernel/osrelease";
    struct stat status {};
    if (stat(readOnlySetting, &status) == 0) {
        EXPECT_THROW(make<CDiskOutStream>(CURI::fromNativePath(String(readOnlySetting))), CFileAccessDeniedError);
    }
}

TEST(CDiskStreamTest, SeeksWithinTheFileAndReturnsToItsOwnMarkers)
{
    CTempFolder folder;
    folder.put("f", "0123456789");
    P<CDiskIOStream> stream = make<CDiskIOStream>(folder.uriOf("f"));
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
    EXPECT_THROW(stream->resetToMarker(*make<CDiskIOStream>(folder.uriOf("f"))->createMarker()), CCastError);
    EXPECT_EQ(stream->getPosition(), 7);
}

TEST(CDiskStreamTest, ClosedStreamAnswersQueriesOnly)
{
    CTempFolder folder;
    folder.put("f", "abc");
    P<CDiskIOStream> stream = make<CDiskIOStream>(folder.uriOf("f"));
    stream->skip(2);
    P<IStreamMarker> marker = stream->createMarker();
    stream->close();
    stream->close();
    EXPECT_TRUE(stream->isClosed());
    EXPECT_EQ(stream->getSize(), 3);
    EXPECT_EQ(stream->getPosition(), 2);
    EXPECT_TRUE(stream->isEOF());

    char byte;
    EXPECT_THROW(stream->read(&byte, 1), CStreamClosedError);
    EXPECT_THROW(stream->write(&byte, 0), CStreamClosedError);
    EXPECT_THROW(marker->reset(), CStreamClosedError);
}

TEST(CDiskStreamTest, FileThatCannotSeekOffersNoPosition)
{
    CTempFolder folder;
    ASSERT_EQ(mkfifo(folder.pathOf("fifo").c_str(), 0600), 0);
    std::thread writer([&folder] { make<CDiskOutStream>(folder.uriOf("fifo"))->write("through a fifo", 14); });
    P<CDiskInStream> in = make<CDiskInStream>(folder.uriOf("fifo"));
    EXPECT_FALSE(castObject<ISeekableInStream>(in, false));
    EXPECT_FALSE(castObject<IResetableStream>(in, false));
    EXPECT_TRUE(castObject<IInStream>(in, false));
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
