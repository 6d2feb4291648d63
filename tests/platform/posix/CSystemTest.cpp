#include "platform/posix/CSystem.h"

#include "CScopedPipeFolder.h"
#include "CTempFolder.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace lumo::posix {
namespace {

P<IURI> uriOf(const std::string& text)
{
    return make<CURI>(String::fromUTF8(text));
}

std::string folderURIText(std::string path)
{
    path = std::filesystem::canonical(path).string();
    return CURI::fromNativePath(String::fromUTF8(path + "/"))->getText().toUTF8();
}

// "nebo_slave_", eight upper-case hexadecimal digits, "_log".
bool isUniqueName(const std::string& name)
{
    return name.size() == 23 && name.rfind("nebo_slave_", 0) == 0 && name.compare(19, 4, "_log") == 0 &&
           name.find_first_not_of("0123456789ABCDEF", 11) == 19;
}

TEST(CSystemTest, FoldersOfTheProcess)
{
    CTempFolder folder;
    folder.put("file", "x");
    const std::string existing = folder.pathOf("");
    const std::string missing = folder.pathOf("missing");
    const std::string file = folder.pathOf("file");
    for (const char* value : {static_cast<const char*>(nullptr), "", missing.c_str(), file.c_str(), existing.c_str()}) {
        CScopedEnvironment environment("TMPDIR", value);
        EXPECT_EQ(CSystem().getTempDirectory()->getText().toUTF8(),
                  value == existing.c_str() ? folderURIText(existing) : "file:///tmp/");
    }

    CSystem system;
    P<CURI> programFolder = system.getExecutableDirectory();
    EXPECT_TRUE(system.fileExists(CURI(String::fromUTF8(program_invocation_short_name), programFolder.get())));
    // The tests link the library from the same folder as the programs.
    P<CURI> libraryFolder = system.getLibraryDirectory();
    EXPECT_TRUE(system.fileExists(CURI(String("liblumo.so"), libraryFolder.get())));
    const std::string bin = nebo::test::binFolder().string();
    EXPECT_EQ(programFolder->getText().toUTF8(), folderURIText(bin));
    EXPECT_EQ(libraryFolder->getText().toUTF8(), folderURIText(bin));
    EXPECT_EQ(system.getCurrentDirectory()->getText().toUTF8(), folderURIText("."));
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
        {"file://localhost" + five, 5},
        {folder.uriOf("empty")->getText().toUTF8(), 0},
        {folder.uriOf("missing")->getText().toUTF8(), -1},
        {folder.uriOf("")->getText().toUTF8(), -1},
        {"file://" + five + "/below", -1},
    };
    CSystem system;
    for (const auto& test : cases) {
        EXPECT_EQ(system.fileExists(*uriOf(test.uri)), test.size >= 0) << test.uri;
        if (test.size >= 0)
            EXPECT_EQ(system.getFileSize(*uriOf(test.uri)), test.size) << test.uri;
        else
            EXPECT_THROW(system.getFileSize(*uriOf(test.uri)), CFileNotFoundError) << test.uri;
    }
    for (const std::string& elsewhere : {"file://server" + five, "http://host" + five, five}) {
        EXPECT_FALSE(system.fileExists(*uriOf(elsewhere))) << elsewhere;
        EXPECT_THROW(system.getFileSize(*uriOf(elsewhere)), CURITypeNotSupportedError) << elsewhere;
        EXPECT_THROW(system.deleteFile(*uriOf(elsewhere)), CURITypeNotSupportedError) << elsewhere;
    }
    EXPECT_FALSE(system.fileExists(*uriOf("file://" + five + "%00")));
}

TEST(CSystemTest, DeletesReadOnlyFilesButNoFolders)
{
    CTempFolder folder;
    folder.put("locked", "x");
    ASSERT_EQ(chmod(folder.pathOf("locked").c_str(), 0400), 0);
    ASSERT_EQ(mkdir(folder.pathOf("sub").c_str(), 0700), 0);
    CSystem system;

    EXPECT_TRUE(system.deleteFile(*folder.uriOf("locked")));
    EXPECT_FALSE(std::filesystem::exists(folder.pathOf("locked")));
    EXPECT_FALSE(system.deleteFile(*folder.uriOf("locked")));
    EXPECT_FALSE(system.deleteFile(*folder.uriOf("sub/missing/x")));

    P<IURI> sub = folder.uriOf("sub");
    expectError<CError>("Error deleting the file '" + sub->getText().toUTF8() + "' (" + std::strerror(EISDIR) + ").",
                        [&] { system.deleteFile(*sub); });
    EXPECT_TRUE(std::filesystem::is_directory(folder.pathOf("sub")));
}

TEST(CSystemTest, UniqueEntriesAreNewAndPrivate)
{
    using Create = P<CURI> (CSystem::*)(const IURI&, const String&, const String&);
    using std::filesystem::perms;
    const struct {
        Create create;
        std::filesystem::file_type type;
        std::string failure;
    } kinds[] = {
        {&CSystem::createUniqueFile, std::filesystem::file_type::regular, "Error creating unique file name. "},
        {&CSystem::createUniqueFolder, std::filesystem::file_type::directory, "Error creating unique folder name. "},
    };
    CTempFolder folder;
    P<IURI> base = folder.uriOf("");
    CSystem system;
    for (const auto& kind : kinds) {
        P<CURI> first = (system.*kind.create)(*base, String("nebo_slave_"), String("_log"));
        P<CURI> second = (system.*kind.create)(*base, String("nebo_slave_"), String("_log"));
        EXPECT_NE(first->getText(), second->getText());
        for (const P<CURI>& entry : {first, second}) {
            const std::string name = entry->getFileName().toUTF8();
            EXPECT_TRUE(isUniqueName(name)) << name;
            EXPECT_EQ(entry->getFolder().toUTF8(), base->getPath().toUTF8());
            const std::string path = folder.pathOf(name);
            EXPECT_EQ(std::filesystem::status(path).type(), kind.type) << name;
            EXPECT_EQ(std::filesystem::status(path).permissions() & (perms::group_all | perms::others_all), perms::none)
                << name;
            if (kind.type == std::filesystem::file_type::regular) {
                EXPECT_EQ(std::filesystem::file_size(path), 0u) << name;
            }
        }

        expectError<CError>(kind.failure + std::strerror(ENOENT),
                            [&] { (system.*kind.create)(*folder.uriOf("missing/"), String("a"), String("b")); });
        EXPECT_THROW((system.*kind.create)(*uriOf("http://host/folder/"), String("a"), String("b")),
                     CURITypeNotSupportedError);
        EXPECT_THROW((system.*kind.create)(*base, String::fromUTF8(std::string("a\0b", 3)), String()), CURIFormatError);
    }
}

} // namespace
} // namespace lumo::posix
