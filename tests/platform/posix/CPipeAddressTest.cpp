#include "platform/posix/CPipeAddress.h"

#include "CScopedPipeFolder.h"
#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace lumo::posix {
namespace {

void expectFolderRefused(const std::string& folder, const std::string& reason)
{
    expectError("The pipe folder '" + folder + "' " + reason, [] { CPipeAddress(String("p")).ensureFolder(); });
}

TEST(CPipeAddressTest, TakesTheFolderFromTheEnvironmentInOrder)
{
    const struct {
        const char* pipeDir;
        const char* runtimeDir;
        std::string expected;
    } cases[] = {
        {"/a/pipes", "/run/user/7", "/a/pipes"},
        {"", "/run/user/7", "/run/user/7/nebo"},
        {nullptr, "", "/tmp/nebo-" + std::to_string(geteuid())},
    };
    for (const auto& test : cases) {
        CScopedEnvironment pipeDir("NEBO_PIPE_DIR", test.pipeDir);
        CScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", test.runtimeDir);
        EXPECT_EQ(test.expected + "/name", CPipeAddress(String("name")).getSocketAddress().sun_path);
    }
}

TEST(CPipeAddressTest, RefusesNamesThatAreNotOneWordAndPathsTooLongForASocket)
{
    CScopedPipeFolder folder;
    for (const std::string& name : {std::string(), std::string(".."), std::string("a/b"), std::string("a\0b", 3)})
        EXPECT_THROW(CPipeAddress(String::fromUTF8(name)), CInvalidArgError) << name;
    const size_t room = sizeof(sockaddr_un::sun_path) - 1 - folder.getPath().size() - 1;
    EXPECT_NO_THROW(CPipeAddress(String::fromUTF8(std::string(room, 'n'))));
    const std::string tooLong(room + 1, 'n');
    expectError("The pipe path '" + folder.pathOf(tooLong) +
                    "' is longer than the 107 bytes that a local socket address holds",
                [&] { CPipeAddress(String::fromUTF8(tooLong)); });
}

TEST(CPipeAddressTest, CreatesTheFolderForTheOwnerAloneAndRefusesOneThatIsNot)
{
    CScopedPipeFolder folder;
    const mode_t previous = umask(0577);
    CPipeAddress(String("p")).ensureFolder();
    umask(previous);
    struct stat status {};
    ASSERT_EQ(0, stat(folder.getPath().c_str(), &status));
    EXPECT_EQ(0700u, status.st_mode & 07777) << "whatever the umask";
    for (mode_t mode : {0720, 0702}) {
        chmod(folder.getPath().c_str(), mode);
        expectFolderRefused(folder.getPath(), "may be written by group or others");
    }
    if (geteuid() == 0) {
        chmod(folder.getPath().c_str(), 0700);
        ASSERT_EQ(0, chown(folder.getPath().c_str(), 65534, 65534));
        expectFolderRefused(folder.getPath(), "belongs to user 65534, not to the calling user 0");
    }
    rmdir(folder.getPath().c_str());
    ASSERT_EQ(0, symlink(folder.getTemp().pathOf("").c_str(), folder.getPath().c_str()));
    expectFolderRefused(folder.getPath(), "is not a folder");
    unlink(folder.getPath().c_str());
    std::ofstream(folder.getPath()) << "a file";
    CScopedEnvironment pipeDir("NEBO_PIPE_DIR", folder.pathOf("below").c_str());
    expectFolderRefused(folder.pathOf("below"), "cannot be created (Not a directory)");
}

} // namespace
} // namespace lumo::posix
