// The system slot of either backend, reached through its factory.
#include "platform/ISimpleThreadLocalStorageFactory.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumo {
namespace {

TEST(CSimpleThreadLocalStorageTest, EachThreadSeesItsOwnValue)
{
    P<ISimpleThreadLocalStorage> slot = getSimpleThreadLocalStorageFactory()->createStorage();
    int mine = 0;
    int theirs = 0;
    EXPECT_EQ(nullptr, slot->getValue());
    slot->setValue(&mine);
    void* seenFirst = &mine;
    void* seenLast = nullptr;
    std::thread([&] {
        seenFirst = slot->getValue();
        slot->setValue(&theirs);
        seenLast = slot->getValue();
    }).join();
    EXPECT_EQ(nullptr, seenFirst);
    EXPECT_EQ(&theirs, seenLast);
    EXPECT_EQ(&mine, slot->getValue());
}

} // namespace
} // namespace lumo
