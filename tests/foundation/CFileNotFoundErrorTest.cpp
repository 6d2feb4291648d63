#include "foundation/CFileNotFoundError.h"

#include "CFakeURI.h"
#include "ScopedLocalizedText.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CFileNotFoundErrorTest, NamesTheFileByItsDisplayText)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///media/clip%201.avi", "/media/clip 1.avi");
    CFileNotFoundError error(uri.get());
    EXPECT_EQ(utf8(error.getDescription()), "The file '/media/clip 1.avi' was not found.");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Error");
    EXPECT_TRUE(dynamic_cast<CFileError*>(&error));
}

TEST(CFileNotFoundErrorTest, WithoutURIUsesTheGeneralText)
{
    EXPECT_EQ(utf8(CFileNotFoundError(nullptr).getDescription()), "The file was not found.");
}

TEST(CFileNotFoundErrorTest, LocalizedTextGetsTheFileFilledIn)
{
    ScopedLocalizedText text("lumo.CFileNotFoundError.Desc", "%FILE% fehlt");
    P<CFakeURI> uri = make<CFakeURI>("file:///a", "/a");
    EXPECT_EQ(utf8(CFileNotFoundError(uri.get()).getDescription()), "/a fehlt");
}

TEST(CFileNotFoundErrorTest, DisplayTextIsNotScannedForPlaceholders)
{
    // A file may well be called like a placeholder; its name is inserted as is.
    P<CFakeURI> uri = make<CFakeURI>("file:///%25URI%25", "%URI%");
    EXPECT_EQ(utf8(CFileNotFoundError(uri.get()).getDescription()), "The file '%URI%' was not found.");
}

} // namespace
} // namespace lumo
