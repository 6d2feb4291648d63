// Shared memory of either backend, made through its factory; each backend's test checks how a peer sees it.
#include "foundation/CInvalidArgError.h"
#include "platform/ISharedMemory.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CSharedMemoryTest, MadeMemoryHasItsSizeZeroedAndWritableAndNoSizeIsRefused)
{
    for (int64_t size : {int64_t(1), int64_t(10000), int64_t(1) << 20}) {
        const P<ISharedMemory> memory = createSharedMemory(size);
        ASSERT_EQ(memory->getSize(), size);
        uint8_t* data = memory->getData();
        EXPECT_EQ(data[0], 0) << size;
        EXPECT_EQ(data[size - 1], 0) << size;
        data[size - 1] = 5;
        EXPECT_EQ(memory->getData()[size - 1], 5) << size;
    }
    for (int64_t size : {int64_t(0), int64_t(-1), INT64_MIN})
        EXPECT_THROW(createSharedMemory(size), CInvalidArgError) << size;
}

} // namespace
} // namespace lumo
