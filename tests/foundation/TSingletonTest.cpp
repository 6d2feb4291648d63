#include "foundation/TSingleton.h"

#include "foundation/CError.h"
#include "foundation/CObject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace lumo {
namespace {

class IGadget : public virtual IBase {};
class CGadget : public CObject, public virtual IGadget {};

std::atomic<int> raceCreations{0};
std::atomic<bool> raceStart{false};

P<IGadget> createRaceGadget()
{
    ++raceCreations;
    // Give the other threads time to pile up behind the creation.
    std::this_thread::yield();
    return make<CGadget>();
}

TSingleton<IGadget> raceHolder(&createRaceGadget);

TEST(TSingletonTest, RacingThreadsGetOneInstanceCreatedOnce)
{
    std::vector<std::thread> threads;
    std::vector<IGadget*> seen(16, nullptr);
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] {
            while (!raceStart)
                std::this_thread::yield();
            seen[i] = raceHolder.get().get();
        });
    raceStart = true;
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(1, raceCreations);
    EXPECT_TRUE(raceHolder.isPublished());
    for (IGadget* gadget : seen)
        EXPECT_EQ(raceHolder.get().get(), gadget);
}

std::atomic<int> flakyCalls{0};

P<IGadget> createFlakyGadget()
{
    if (++flakyCalls == 1)
        throw CError("not yet");
    return make<CGadget>();
}

TSingleton<IGadget> flakyHolder(&createFlakyGadget);

TEST(TSingletonTest, ACreationThatThrowsLetsALaterCallSucceed)
{
    EXPECT_THROW(flakyHolder.get(), CError);
    EXPECT_FALSE(flakyHolder.isPublished());
    P<IGadget> gadget = flakyHolder.get();
    EXPECT_TRUE(gadget);
    EXPECT_EQ(gadget, flakyHolder.get());
    EXPECT_EQ(2, flakyCalls);
}

} // namespace
} // namespace lumo
