#include "platform/prepareHeap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace lumo {
namespace {

int64_t minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

TEST(prepareHeapTest, SizesOutsideTheBoundAreRefused)
{
    for (const int64_t bytes : {int64_t{0}, int64_t{-1}, maxPreparedHeapBytes + 1})
        EXPECT_FALSE(prepareHeap(bytes)) << bytes;
}

// Decoders allocate picture-sized blocks on threads of their own and write them whole; after the heap was prepared,
// those writes find their pages. ctest runs each case in a process of its own: none sees the allocator changed.
TEST(prepareHeapTest, BlocksAllocatedLaterOnAnotherThreadFindTheirPagesTouched)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer's allocator keeps no heap of the system's allocator";
#endif
    constexpr size_t blockBytes = size_t{3} << 20;
    constexpr int blocks = 16;
    ASSERT_TRUE(prepareHeap(int64_t{64} << 20));
    const int64_t before = minorFaults();
    std::thread decoder([] {
        std::vector<void*> held;
        for (int i = 0; i < blocks; ++i) {
            held.push_back(std::malloc(blockBytes));
            std::memset(held.back(), 1, blockBytes);
        }
        for (void* block : held)
            std::free(block);
    });
    decoder.join();
    const int64_t pages = blocks * int64_t{blockBytes} / sysconf(_SC_PAGESIZE);
    // The thread's own stack and bookkeeping fault a few pages in.
    EXPECT_LT(minorFaults() - before, pages / 20);
}

} // namespace
} // namespace lumo
