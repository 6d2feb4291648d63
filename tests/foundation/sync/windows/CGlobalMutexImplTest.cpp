#include "foundation/sync/windows/CGlobalMutexImpl.h"

#include "foundation/CException.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace lumo::win32 {
namespace {

// A lock name of this test process and test.
class CGlobalMutexImplTest : public ::testing::Test {
protected:
    P<IMutex> open() { return make<CGlobalMutexImpl>(m_name); }

    String m_name = String::fromUTF8("lumo test lock " + std::to_string(GetCurrentProcessId()) + " " +
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

TEST(CGlobalMutexImplNameTest, EscapesOnlyTheNamespaceSeparatorAndTheEscapeCharacter)
{
    const struct {
        const char* name;
        const wchar_t* kernelName;
    } cases[] = {
        {"Ab9 ._-/", L"Global\\lumo.globalmutex.Ab9 ._-/"},
        {"a\\b", L"Global\\lumo.globalmutex.a%5Cb"},
        {"a%5Cb", L"Global\\lumo.globalmutex.a%255Cb"},
        {"\xC3\xA4\xE2\x82\xAC", L"Global\\lumo.globalmutex.\u00E4\u20AC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.kernelName), CGlobalMutexImpl::getKernelName(String::fromUTF8(c.name))) << c.name;
}

TEST_F(CGlobalMutexImplTest, ObjectsOfOneNameAreOneRecursiveLockThatGoesWithItsHolder)
{
    P<IMutex> first = open();
    P<IMutex> second = open();
    first->lock();
    EXPECT_TRUE(first->tryLock(0));
    EXPECT_FALSE(isFreeForOthers(*second));
    bool taken = true;
    std::thread([&] { taken = second->tryLock(20); }).join();
    EXPECT_FALSE(taken) << "a timed try gives up";
    first->unlock();
    EXPECT_FALSE(isFreeForOthers(*second));
    first->unlock();
    EXPECT_TRUE(isFreeForOthers(*second));
    first->unlock();
    EXPECT_TRUE(isFreeForOthers(*second)) << "an unlock of a free lock is ignored";

    first->lock();
    first->lock();
    first = nullptr;
    EXPECT_TRUE(isFreeForOthers(*second)) << "destroying the object lets go of its hold";
}

TEST_F(CGlobalMutexImplTest, IsTakenOverFromAnOwnerThatEndedHoldingIt)
{
    P<IMutex> mutex = open();
    std::thread([&] {
        mutex->lock();
        mutex->lock();
    }).join();
    EXPECT_NO_THROW(mutex->lock());
    EXPECT_FALSE(isFreeForOthers(*mutex));
    mutex->unlock();
    EXPECT_TRUE(isFreeForOthers(*mutex));
}

TEST_F(CGlobalMutexImplTest, ANameTooLongForTheSystemThrowsNamingIt)
{
    const String name = String::fromUTF8(std::string(MAX_PATH, 'x'));
    try {
        make<CGlobalMutexImpl>(name);
        ADD_FAILURE() << "no error";
    } catch (const CException& error) {
        EXPECT_EQ("Error createing global mutex " + name.toUTF8(), error.getDescription()->toUTF8());
        EXPECT_TRUE(error.getGeneralDescription()->isEmpty());
    }
}

} // namespace
} // namespace lumo::win32
