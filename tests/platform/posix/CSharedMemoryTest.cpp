#include "platform/posix/CSharedMemory.h"

#include "foundation/CError.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

namespace lumo::posix {
namespace {

// What a peer makes of the descriptor it received: its own mapping.
P<CSharedMemory> peerOf(const CSharedMemory& memory)
{
    return make<CSharedMemory>(CFileDescriptor(::fcntl(memory.getDescriptor(), F_DUPFD_CLOEXEC, 0)));
}

TEST(CSharedMemoryTest, MadeMemoryIsSharedAndSealedAgainstEveryChangeOfSize)
{
    const P<CSharedMemory> memory = make<CSharedMemory>(10000);
    const P<CSharedMemory> peer = peerOf(*memory);
    EXPECT_EQ(peer->getSize(), 10000);
    memory->getData()[9999] = 5;
    EXPECT_EQ(peer->getData()[9999], 5);

    const int descriptor = peer->getDescriptor();
    EXPECT_EQ(::fcntl(descriptor, F_GET_SEALS), F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL);
    EXPECT_NE(::ftruncate(descriptor, 0), 0);
    EXPECT_NE(::ftruncate(descriptor, 20000), 0);
    EXPECT_NE(::fcntl(descriptor, F_ADD_SEALS, F_SEAL_WRITE), 0);
    EXPECT_EQ(peer->getSize(), 10000);
}

long minorFaultsOfThisThread()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

TEST(CSharedMemoryTest, PreparedPagesKeepTheirBytesAndTakeNoFaultAtTheFirstWrite)
{
    constexpr int64_t pages = 256;
    const int64_t pageBytes = ::sysconf(_SC_PAGESIZE);
    const P<CSharedMemory> memory = make<CSharedMemory>(pages * pageBytes);
    const P<CSharedMemory> peer = peerOf(*memory);
    memory->getData()[pageBytes] = 9;
    if (::madvise(memory->getData(), size_t(pageBytes), MADV_POPULATE_WRITE) != 0)
        GTEST_SKIP() << "this kernel cannot ready pages ahead";

    EXPECT_FALSE(peer->prepareForWriting(0));
    ASSERT_TRUE(peer->prepareForWriting(pages * pageBytes));
    const long faultsBefore = minorFaultsOfThisThread();
    for (int64_t page = 0; page < pages; ++page)
        peer->getData()[page * pageBytes] += 1;
    // Unprepared, every page would fault once; a sanitizer's own pages may.
    EXPECT_LT(minorFaultsOfThisThread() - faultsBefore, pages / 4);
    EXPECT_EQ(memory->getData()[pageBytes], 10);
}

TEST(CSharedMemoryTest, AnEmptyOrNoFileIsRefused)
{
    EXPECT_THROW(make<CSharedMemory>(CFileDescriptor(::memfd_create("empty", MFD_CLOEXEC))), CError);
    EXPECT_THROW(make<CSharedMemory>(CFileDescriptor()), CError);
}

} // namespace
} // namespace lumo::posix
