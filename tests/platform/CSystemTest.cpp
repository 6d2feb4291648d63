#include "platform/ISystem.h"

#include "CTempFolder.h"
#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo {
namespace {

P<IURI> uriOf(const std::string& text) { return make<CURI>(String::fromUTF8(text)); }

std::string folderURIText(const std::filesystem::path& path)
{
    const std::string folder = (std::filesystem::canonical(path) / "").string();
    return createPathes()->getURIOfNativePath(String::fromUTF8(folder))->getText().toUTF8();
}

TEST(CSystemTest, FoldersOfTheProcess)
{
    P<ISystem> system = createSystem();
    // The tests link the library from the same folder as the programs.
    EXPECT_EQ(system->getExecutableDirectory()->getText().toUTF8(), folderURIText(nebo::test::binFolder()));
    EXPECT_EQ(system->getLibraryDirectory()->getText().toUTF8(), folderURIText(nebo::test::binFolder()));
    EXPECT_EQ(system->getCurrentDirectory()->getText().toUTF8(), folderURIText(std::filesystem::current_path()));
    const std::string temp = system->getTempDirectory()->getText().toUTF8();
    EXPECT_EQ(temp.substr(0, 8), "file:///");
    EXPECT_EQ(temp.back(), '/');
}

TEST(CSystemTest, OnlyLocalEntriesThatAreNoFolderAreFiles)
{
    CTempFolder folder;
    folder.put("five", "12345");
    folder.put("empty", "");
    const std::string five = folder.uriOf("five")->getEscapedPath().toUTF8();
    const struct {
        std::string uri;
        int64_t size; // -1: no file
    } cases[] = {
        {"file://" + five, 5},
        {folder.uriOf("empty")->getText().toUTF8(), 0},
        {folder.uriOf("missing")->getText().toUTF8(), -1},
        {folder.uriOf("")->getText().toUTF8(), -1},
        {"file://" + five + "/below", -1},
    };
    P<ISystem> system = createSystem();
    for (const auto& test : cases) {
        EXPECT_EQ(system->fileExists(*uriOf(test.uri)), test.size >= 0) << test.uri;
        if (test.size >= 0)
            EXPECT_EQ(system->getFileSize(*uriOf(test.uri)), test.size) << test.uri;
        else
            EXPECT_THROW(system->getFileSize(*uriOf(test.uri)), CFileNotFoundError) << test.uri;
    }
    for (const std::string& elsewhere : {"http://host" + five, five}) {
        EXPECT_FALSE(system->fileExists(*uriOf(elsewhere))) << elsewhere;
        EXPECT_THROW(system->getFileSize(*uriOf(elsewhere)), CURITypeNotSupportedError) << elsewhere;
        EXPECT_THROW(system->deleteFile(*uriOf(elsewhere)), CURITypeNotSupportedError) << elsewhere;
    }
    EXPECT_FALSE(system->fileExists(*uriOf("file://" + five + "%00")));
}

TEST(CSystemTest, DeletesReadOnlyFilesButNoFolders)
{
    CTempFolder folder;
    folder.put("locked", "x");
    std::filesystem::permissions(folder.pathOf("locked"), std::filesystem::perms::owner_read);
    std::filesystem::create_directory(folder.pathOf("sub"));
    P<ISystem> system = createSystem();

    EXPECT_TRUE(system->deleteFile(*folder.uriOf("locked")));
    EXPECT_FALSE(std::filesystem::exists(folder.pathOf("locked")));
    EXPECT_FALSE(system->deleteFile(*folder.uriOf("locked")));
    EXPECT_FALSE(system->deleteFile(*folder.uriOf("sub/missing/x")));

    EXPECT_THROW(system->deleteFile(*folder.uriOf("sub")), CError);
    EXPECT_TRUE(std::filesystem::is_directory(folder.pathOf("sub")));
}

// The names' form, a new file's emptiness and its folder are checked where the slave handler makes its error
// file (host/CSlaveHandlerTest); files and folders take the same path to their names.
TEST(CSystemTest, UniqueEntriesAreNewAndRefusedWhereTheyCannotBe)
{
    using Create = P<CURI> (ISystem::*)(const IURI&, const String&, const String&);
    const struct {
        Create create;
        std::filesystem::file_type type;
    } kinds[] = {
        {&ISystem::createUniqueFile, std::filesystem::file_type::regular},
        {&ISystem::createUniqueFolder, std::filesystem::file_type::directory},
    };
    CTempFolder folder;
    P<IURI> base = folder.uriOf("");
    P<ISystem> system = createSystem();
    for (const auto& kind : kinds) {
        P<CURI> first = (system.get()->*kind.create)(*base, String("a"), String("b"));
        P<CURI> second = (system.get()->*kind.create)(*base, String("a"), String("b"));
        EXPECT_NE(first->getText(), second->getText());
        for (const P<CURI>& entry : {first, second})
            EXPECT_EQ(std::filesystem::status(folder.pathOf(entry->getFileName().toUTF8())).type(), kind.type);

        EXPECT_THROW((system.get()->*kind.create)(*folder.uriOf("missing/"), String("a"), String("b")), CError);
        EXPECT_THROW((system.get()->*kind.create)(*uriOf("http://host/folder/"), String("a"), String("b")),
                     CURITypeNotSupportedError);
        EXPECT_THROW((system.get()->*kind.create)(*base, String::fromUTF8(std::string("a\0b", 3)), String()),
                     CURIFormatError);
    }
}

} // namespace
} // namespace lumo
