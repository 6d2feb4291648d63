// The manual-reset signal of either backend, reached through its factory.
#include "foundation/sync/ISignalFactory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace lumo {
namespace {

TEST(CSignalImplTest, StartsUnsetAndStaysSetForEveryWaitAndWaiterUntilReset)
{
    P<ISignal> signal = getSignalFactory()->createSignal();
    EXPECT_FALSE(signal->isSet());
    EXPECT_FALSE(signal->wait(0));
    // Only the low half of the timeout counts: a wait of 2^32 ms would outlast the test.
    EXPECT_FALSE(signal->wait(uint64_t(1) << 32));
    signal->set();
    EXPECT_TRUE(signal->wait(0));
    EXPECT_TRUE(signal->wait(ISignal::noTimeout));
    EXPECT_TRUE(signal->wait(~uint64_t(0)));
    EXPECT_TRUE(signal->isSet());
    signal->reset();
    EXPECT_FALSE(signal->wait(0));

    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i)
        waiters.emplace_back([&] {
            if (signal->wait(ISignal::noTimeout))
                ++released;
        });
    signal->set();
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_EQ(4, released);
    EXPECT_TRUE(signal->isSet());
}

} // namespace
} // namespace lumo
