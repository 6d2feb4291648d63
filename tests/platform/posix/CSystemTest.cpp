#include "platform/CSystem.h"

#include "CScopedPipeFolder.h"
#include "CTempFolder.h"
#include "foundation/CError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace lumo::posix {
namespace {

std::string folderURIText(std::string path)
{
    path = std::filesystem::canonical(path).string();
    return CURI::fromNativePath(String::fromUTF8(path + "/"))->getText().toUTF8();
}

TEST(CSystemTest, TempDirectoryIsAnExistingTMPDIROrTmp)
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
}

// The portable test checks how the errors begin; here they name the system's reason.
TEST(CSystemTest, UniqueEntriesArePrivateAndErrorsNameTheSystemsReason)
{
    using std::filesystem::perms;
    CTempFolder folder;
    CSystem system;
    for (const P<CURI>& entry : {system.createUniqueFile(*folder.uriOf(""), String("f"), String()),
                                 system.createUniqueFolder(*folder.uriOf(""), String("d"), String())}) {
        const perms permissions = std::filesystem::status(folder.pathOf(entry->getFileName().toUTF8())).permissions();
        EXPECT_EQ(permissions & (perms::group_all | perms::others_all), perms::none) << entry->getText().toUTF8();
    }
    expectError<CError>("Error creating unique file name. " + std::string(std::strerror(ENOENT)),
                        [&] { system.createUniqueFile(*folder.uriOf("missing/"), String("a"), String("b")); });
    std::filesystem::create_directory(folder.pathOf("sub"));
    P<IURI> sub = folder.uriOf("sub");
    expectError<CError>("Error deleting the file '" + sub->getText().toUTF8() + "' (" + std::strerror(EISDIR) + ").",
                        [&] { system.deleteFile(*sub); });
}

} // namespace
} // namespace lumo::posix
