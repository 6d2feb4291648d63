#include "foundation/sync/posix/CGlobalMutexImpl.h"

#include "expectError.h"
#include "isFreeForOthers.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumo::posix {
namespace {

// A lock name of this test process, whose shared memory goes with the test.
class CGlobalMutexImplTest : public ::testing::Test {
protected:
    ~CGlobalMutexImplTest() override { shm_unlink(CGlobalMutexImpl::getSharedMemoryName(m_name).c_str()); }

    P<IMutex> open() { return make<CGlobalMutexImpl>(m_name); }

    String m_name = String::fromUTF8("lumo test lock " + std::to_string(getpid()) + " " +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST(CGlobalMutexImplNameTest, EscapesAllButPlainCharactersAndKeepsLongNamesWithinTheLimitAndApart)
{
    EXPECT_EQ("/lumo.globalmutex.Ab9._-", CGlobalMutexImpl::getSharedMemoryName("Ab9._-"));
    EXPECT_EQ("/lumo.globalmutex.a%2Fb%20%25c%C3%A4",
              CGlobalMutexImpl::getSharedMemoryName(String::fromUTF8("a/b %c\xC3\xA4")));
    std::string stem(300, 'x');
    std::string first = CGlobalMutexImpl::getSharedMemoryName(String::fromUTF8(stem + "1"));
    EXPECT_LE(first.size(), 255u);
    EXPECT_NE(first, CGlobalMutexImpl::getSharedMemoryName(String::fromUTF8(stem + "2")));
}

TEST_F(CGlobalMutexImplTest, IsSharedWithOtherProcessesAndTakenOverFromADeadOwner)
{
    P<IMutex> mutex = open();
    int held[2], done[2];
    ASSERT_EQ(0, pipe(held));
    ASSERT_EQ(0, pipe(done));
    pid_t pid = fork();
    if (pid == 0) {
        char byte = 0;
        close(done[1]);
        mutex->lock();
        mutex->lock();
        // Dies holding the lock once the parent closes its end of `done`.
        _exit(write(held[1], &byte, 1) == 1 && read(done[0], &byte, 1) == 0 ? 0 : 1);
    }
    char byte = 0;
    ASSERT_EQ(1, read(held[0], &byte, 1));
    EXPECT_FALSE(mutex->tryLock(0));
    close(done[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int fd : {held[0], held[1], done[0]})
        close(fd);
    EXPECT_TRUE(mutex->tryLock(0));
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*mutex));
}

TEST_F(CGlobalMutexImplTest, ANameThatCannotBeOpenedThrowsNamingIt)
{
    // A folder where the shared memory should be cannot be opened as one.
    std::string folder = "/dev/shm" + CGlobalMutexImpl::getSharedMemoryName(m_name);
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    expectError("Error createing global mutex " + m_name.toUTF8(), [&] { open(); });
    rmdir(folder.c_str());
}

} // namespace
} // namespace lumo::posix
