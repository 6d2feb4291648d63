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
    std::vector<std::vector<uint32_t>> drawn(4);
    std::vector<std::thread> threads;
    for (auto& numbers : drawn)
        threads.emplace_back(
            [&] { std::generate_n(std::back_inserter(numbers), 2000, [&] { return generator->next(); }); });
    std::vector<uint32_t> all;
    for (size_t i = 0; i < threads.size(); ++i) {
        threads[i].join();
        all.insert(all.end(), drawn[i].begin(), drawn[i].end());
    }
    std::mt19937 reference(42u);
    std::vector<uint32_t> expected(all.size());
    std::generate(expected.begin(), expected.end(), [&] { return static_cast<uint32_t>(reference()); });
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}

} // namespace
} // namespace lumo
