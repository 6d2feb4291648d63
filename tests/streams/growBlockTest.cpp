#include "streams/growBlock.h"

#include "foundation/CObject.h"
#include "streams/IMemoryBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace lumo {
namespace {

// Keeps only a capacity, so that capacities near 2 GiB cost no memory.
class CCapacityBlock : public CObject, public virtual IMemoryBlock {
public:
    explicit CCapacityBlock(int32_t capacity) : m_capacity(capacity) {}
    void reserve(int32_t capacity) override { m_capacity = std::max(m_capacity, capacity); }
    int32_t getCapacity() override { return m_capacity; }
    void setSize(int32_t) override {}
    int32_t getSize() override { return 0; }
    uint8_t* getData() override { return nullptr; }

private:
    int32_t m_capacity;
};

TEST(growBlockTest, DoublesTheCapacityButNeverPastTheLimit)
{
    constexpr int32_t maxInt = std::numeric_limits<int32_t>::max();
    const struct {
        int32_t capacity, needed, limit, expected;
    } cases[] = {
        {0, 10, 100, 10},                                 // nothing to double
        {16, 10, 100, 16},                                // room enough
        {16, 17, 100, 32},                                // doubled
        {16, 40, 100, 40},                                // more than double needed
        {16, 17, 20, 20},                                 // doubling would pass the limit
        {maxInt / 2 + 1, maxInt / 2 + 2, maxInt, maxInt}, // doubling would pass 32 bits
    };
    for (const auto& c : cases) {
        const P<CCapacityBlock> block = make<CCapacityBlock>(c.capacity);
        growBlock(*block, c.needed, c.limit);
        EXPECT_EQ(block->getCapacity(), c.expected) << c.capacity << " for " << c.needed << " within " << c.limit;
    }
}

} // namespace
} // namespace lumo
