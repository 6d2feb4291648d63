#include "platform/CSystem.h"

#include "CTempFolder.h"
#include "platform/getStreamManager.h"
#include "platform/windows/CPathes.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lumo::win32 {
namespace {

// Names that take a path well beyond MAX_PATH, where only the long form reaches the system.
TEST(CSystemTest, FilesBeyondMaxPathWork)
{
    CTempFolder folder;
    CSystem system;
    P<CURI> deep = system.createUniqueFolder(*folder.uriOf(""), String::fromUTF8(std::string(150, 'd')), String());
    deep = system.createUniqueFolder(*deep, String::fromUTF8(std::string(150, 'e')), String());
    P<CURI> file = system.createUniqueFile(*deep, String("f"), String(".txt"));
    ASSERT_GT(file->getPath().getLength(), MAX_PATH);

    getStreamManager()->openOutStream(file)->write("beyond", 6);
    EXPECT_TRUE(system.fileExists(*file));
    EXPECT_EQ(system.getFileSize(*file), 6);
    ASSERT_TRUE(SetFileAttributesW(CPathes::systemPathOf(*file).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(system.deleteFile(*file));
    EXPECT_FALSE(system.fileExists(*file));
    EXPECT_TRUE(RemoveDirectoryW(CPathes::systemPathOf(*deep).c_str()));
}

} // namespace
} // namespace lumo::win32
