#include "platform/windows/CSharedMemory.h"

#include <gtest/gtest.h>

namespace lumo::win32 {
namespace {

TEST(CSharedMemoryTest, AnotherViewOfTheSectionSeesTheSameBytes)
{
    const P<CSharedMemory> memory = make<CSharedMemory>(10000);
    auto* peer = static_cast<uint8_t*>(MapViewOfFile(memory->getHandle(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(peer, nullptr);
    memory->getData()[9999] = 5;
    peer[0] = 7;
    EXPECT_EQ(peer[9999], 5);
    EXPECT_EQ(memory->getData()[0], 7);
    EXPECT_TRUE(memory->prepareForWriting(10000));
    EXPECT_EQ(memory->getData()[9999], 5);
    UnmapViewOfFile(peer);
}

} // namespace
} // namespace lumo::win32
