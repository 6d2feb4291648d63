#include "platform/posix/CPipeAddress.h"

#include "CScopedPipeFolder.h"
#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace lumo::posix {
namespace {

// Sets or clears an environment variable for one scope.
class CScopedEnvironment {
public:
    CScopedEnvironment(const char* name, const char* value) : m_name(name)
    {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~CScopedEnvironment()
    {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

mode_t modeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(0, lstat(path.c_str(), &status)) << path;
    return status.st_mode & 07777;
}

void expectFolderRefused(const std::string& folder, const std::string& reason)
{
    try {
        CPipeAddress(String("p")).ensureFolder();
        ADD_FAILURE() << "the folder was accepted";
    } catch (const CException& error) {
        EXPECT_EQ("The pipe folder '" + folder + "' " + reason, descriptionOf(error));
    }
}

TEST(CPipeAddressTest, TakesTheFolderFromTheEnvironmentInOrder)
{
    const std::string ownFolder = "/tmp/nebo-" + std::to_string(geteuid());
    const struct {
        const char* pipeDir;
        const char* runtimeDir;
        std::string expected;
    } cases[] = {
        {"/a/pipes", "/run/user/7", "/a/pipes"},
        {nullptr, "/run/user/7", "/run/user/7/nebo"},
        {"", "/run/user/7", "/run/user/7/nebo"},
        {nullptr, nullptr, ownFolder},
        {nullptr, "", ownFolder},
    };
    for (const auto& test : cases) {
        CScopedEnvironment pipeDir("NEBO_PIPE_DIR", test.pipeDir);
        CScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", test.runtimeDir);
        const CPipeAddress address(String("name"));
        EXPECT_EQ(test.expected, address.getFolder());
        EXPECT_EQ(test.expected + "/name", address.getSocketPath());
        EXPECT_EQ(test.expected + "/name", address.getSocketAddress().sun_path);
    }
}

TEST(CPipeAddressTest, RefusesNamesThatAreNotOneWordAndPathsTooLongForASocket)
{
    CScopedPipeFolder folder;
    for (const std::string& name : {std::string(), std::string("."), std::string(".."), std::string("a/b"),
                                    std::string("a\0b", 3)})
        EXPECT_THROW(CPipeAddress(String::fromUTF8(name)), CInvalidArgError) << name;

    const size_t room = sizeof(sockaddr_un::sun_path) - 1 - folder.getPath().size() - 1;
    EXPECT_NO_THROW(CPipeAddress(String::fromUTF8(std::string(room, 'n'))));
    try {
        CPipeAddress(String::fromUTF8(std::string(room + 1, 'n')));
        ADD_FAILURE() << "a path too long was accepted";
    } catch (const CException& error) {
        EXPECT_NE(std::string::npos, descriptionOf(error).find("is longer than the 107 bytes")) << descriptionOf(error);
    }
}

TEST(CPipeAddressTest, CreatesTheFolderForTheOwnerAloneWhateverTheUmask)
{
    CScopedPipeFolder folder;
    const mode_t previous = umask(0077 | 0500);
    CPipeAddress(String("p")).ensureFolder();
    umask(previous);
    EXPECT_EQ(0700u, modeOf(folder.getPath()));
    chmod(folder.getPath().c_str(), 0750);
    EXPECT_NO_THROW(CPipeAddress(String("p")).ensureFolder());
}

TEST(CPipeAddressTest, RefusesAFolderThatOthersMayWriteOrThatIsNoFolder)
{
    CScopedPipeFolder folder;
    CPipeAddress(String("p")).ensureFolder();
    for (mode_t mode : {0720, 0702, 0777}) {
        chmod(folder.getPath().c_str(), mode);
        expectFolderRefused(folder.getPath(), "may be written by group or others");
    }
    rmdir(folder.getPath().c_str());
    std::ofstream(folder.getPath()) << "a file";
    expectFolderRefused(folder.getPath(), "is not a folder");
    unlink(folder.getPath().c_str());
    ASSERT_EQ(0, symlink(folder.getTemp().pathOf("").c_str(), folder.getPath().c_str()));
    expectFolderRefused(folder.getPath(), "is not a folder");
}

TEST(CPipeAddressTest, RefusesAFolderOfAnotherUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder away";
    CScopedPipeFolder folder;
    ASSERT_EQ(0, mkdir(folder.getPath().c_str(), 0700));
    ASSERT_EQ(0, chown(folder.getPath().c_str(), 65534, 65534));
    expectFolderRefused(folder.getPath(), "belongs to user 65534, not to the calling user 0");
}

TEST(CPipeAddressTest, ReportsAFolderThatCannotBeMade)
{
    CScopedPipeFolder folder;
    CScopedEnvironment pipeDir("NEBO_PIPE_DIR", folder.pathOf("missing").c_str());
    expectFolderRefused(folder.pathOf("missing"), "cannot be created (No such file or directory)");
}

} // namespace
} // namespace lumo::posix
