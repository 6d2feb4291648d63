#include "platform/IPathes.h"

#include "CTempFolder.h"
#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo {
namespace {

TEST(CPathesTest, NativePathsOfFilesMakeTheRoundTrip)
{
    CTempFolder folder;
    P<IPathes> pathes = createPathes();
    for (const char* name : {"a b.txt", "100%.txt", "\xC3\xBC", "with#hash;semicolon", "sub/"}) {
        P<IURI> uri = folder.uriOf(name);
        const String native = pathes->getNativePath(*uri, false);
        EXPECT_EQ(pathes->getURIOfNativePath(native)->getText().toUTF8(), uri->getText().toUTF8()) << name;
    }
    const std::filesystem::path inCurrent = std::filesystem::current_path() / "sub" / "x";
    EXPECT_EQ(pathes->getURIOfNativePath(String("sub/x"))->getText().toUTF8(),
              pathes->getURIOfNativePath(String::fromUTF8(inCurrent.string()))->getText().toUTF8());
    EXPECT_THROW(pathes->getURIOfNativePath(String()), CInvalidArgError);
}

TEST(CPathesTest, OtherSchemesGiveTheirTextOnlyWhenAsked)
{
    P<IPathes> pathes = createPathes();
    for (const char* text : {"http://host/a%20b?q", "mailto:someone"}) {
        EXPECT_EQ(pathes->getNativePath(*make<CURI>(String(text)), false).toUTF8(), "") << text;
        EXPECT_EQ(pathes->getNativePath(*make<CURI>(String(text)), true).toUTF8(), text) << text;
    }
    EXPECT_EQ(pathes->getNativePath(*make<CURI>(String()), true).toUTF8(), "");
}

} // namespace
} // namespace lumo
