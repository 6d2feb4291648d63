#include "platform/CRandomGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

namespace lumo {
namespace {

TEST(CRandomGeneratorTest, IsAMersenneTwisterThatThreadsShare)
{
    // Each number of the sequence goes to exactly one of the drawing threads.
    P<CRandomGenerator> generator = make<CRandomGenerator>(42u);
    std::vector<uint32_t> all(4 * 2000);
    std::vector<std::thread> threads;
    for (size_t first = 0; first < all.size(); first += 2000)
        threads.emplace_back([&, first] { std::generate_n(&all[first], 2000, [&] { return generator->next(); }); });
    for (std::thread& thread : threads)
        thread.join();
    std::mt19937 reference(42u);
    std::vector<uint32_t> expected(all.size());
    std::generate(expected.begin(), expected.end(), [&] { return static_cast<uint32_t>(reference()); });
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}

} // namespace
} // namespace lumo
