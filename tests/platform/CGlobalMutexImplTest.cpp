#include "platform/posix/CGlobalMutexImpl.h"

#include "foundation/CException.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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

bool isFreeForOthers(IMutex& mutex)
{
    bool taken = false;
    std::thread([&] {
        taken = mutex.tryLock(0);
        if (taken)
            mutex.unlock();
    }).join();
    return taken;
}

// Runs `child` in a forked process and answers its exit code.
template <class F> int runInChild(F child)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(child());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CGlobalMutexImplNameTest, KeepsPlainCharactersAndEscapesTheRest)
{
    EXPECT_EQ("/lumo.globalmutex.Ab9._-", CGlobalMutexImpl::getSharedMemoryName("Ab9._-"));
    EXPECT_EQ("/lumo.globalmutex.a%2Fb%20%25c%C3%A4", CGlobalMutexImpl::getSharedMemoryName(String::fromUTF8("a/b %c\xC3\xA4")));
}

TEST(CGlobalMutexImplNameTest, LongNamesStayWithinTheLimitAndApart)
{
    std::string stem(300, 'x');
    std::string first = CGlobalMutexImpl::getSharedMemoryName(String::fromUTF8(stem + "1"));
    std::string second = CGlobalMutexImpl::getSharedMemoryName(String::fromUTF8(stem + "2"));
    EXPECT_LE(first.size(), 255u);
    EXPECT_NE(first, second);
}

TEST_F(CGlobalMutexImplTest, TwoObjectsOfOneNameAreOneRecursiveLock)
{
    P<IMutex> first = open();
    P<IMutex> second = open();
    first->lock();
    EXPECT_TRUE(first->tryLock(0));
    EXPECT_FALSE(isFreeForOthers(*second));
    first->unlock();
    EXPECT_FALSE(isFreeForOthers(*second));
    first->unlock();
    EXPECT_TRUE(isFreeForOthers(*second));
}

TEST_F(CGlobalMutexImplTest, TimedTryLockGivesUpWhileAnotherThreadHoldsIt)
{
    P<IMutex> mutex = open();
    mutex->lock();
    bool taken = true;
    std::thread([&] { taken = mutex->tryLock(20); }).join();
    EXPECT_FALSE(taken);
    mutex->unlock();
}

TEST_F(CGlobalMutexImplTest, IsSharedWithAnotherProcess)
{
    int toChild[2];
    int toParent[2];
    ASSERT_EQ(0, pipe(toChild));
    ASSERT_EQ(0, pipe(toParent));
    P<IMutex> mutex = open();
    pid_t pid = fork();
    if (pid == 0) {
        char byte = 0;
        mutex->lock();
        bool told = write(toParent[1], &byte, 1) == 1;
        bool answered = read(toChild[0], &byte, 1) == 1;
        mutex->unlock();
        _exit(told && answered ? 0 : 1);
    }
    char byte = 0;
    ASSERT_EQ(1, read(toParent[0], &byte, 1));
    EXPECT_FALSE(mutex->tryLock(0));
    ASSERT_EQ(1, write(toChild[1], &byte, 1));
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(mutex->tryLock(0));
    mutex->unlock();
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]})
        close(fd);
}

TEST_F(CGlobalMutexImplTest, LockOfAProcessThatDiedHoldingItIsTakenOver)
{
    P<IMutex> mutex = open();
    ASSERT_EQ(0, runInChild([&] {
                  mutex->lock();
                  return 0;
              }));
    EXPECT_NO_THROW(mutex->lock());
    EXPECT_FALSE(isFreeForOthers(*mutex));
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*open()));
}

TEST_F(CGlobalMutexImplTest, TryLockTakesOverFromADeadOwnerToo)
{
    P<IMutex> mutex = open();
    ASSERT_EQ(0, runInChild([&] {
                  mutex->lock();
                  mutex->lock();
                  return 0;
              }));
    EXPECT_TRUE(mutex->tryLock(0));
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*mutex));
}

TEST_F(CGlobalMutexImplTest, DestroyingTheObjectLetsGoOfItsHold)
{
    P<IMutex> mutex = open();
    mutex->lock();
    mutex->lock();
    mutex = nullptr;
    EXPECT_TRUE(isFreeForOthers(*open()));
}

TEST_F(CGlobalMutexImplTest, ANameThatCannotBeOpenedThrowsNamingIt)
{
    // A folder where the shared memory should be cannot be opened as one.
    std::string folder = "/dev/shm" + CGlobalMutexImpl::getSharedMemoryName(m_name);
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    try {
        open();
        ADD_FAILURE() << "no error";
    } catch (const CException& error) {
        EXPECT_EQ("Error createing global mutex " + m_name.toUTF8(), error.getDescription()->toUTF8());
        EXPECT_TRUE(error.getGeneralDescription()->isEmpty());
    }
    rmdir(folder.c_str());
}

} // namespace
} // namespace lumo::posix
