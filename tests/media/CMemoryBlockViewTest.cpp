#include "media/CMemoryBlockView.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "mediaWire.h"

#include <gtest/gtest.h>

namespace nebo::common {
namespace {

TEST(CMemoryBlockViewTest, AWindowOnItsParentThatKeepsItAlive)
{
    lumo::P<lumo::IMemoryBlock> parent = blockOf({1, 2, 3, 4, 5, 6});
    uint8_t* bytes = parent->getData();
    lumo::P<CMemoryBlockView> view = lumo::make<CMemoryBlockView>(parent, 2, 3);
    parent = nullptr;
    EXPECT_EQ(view->getData(), bytes + 2);
    EXPECT_EQ(bytesOf(*view), (Bytes{3, 4, 5}));
    EXPECT_EQ(view->getCapacity(), 3);

    view->reserve(3);
    EXPECT_THROW(view->reserve(4), lumo::CInvalidArgError);
    EXPECT_THROW(view->setSize(4), lumo::CInvalidArgError);
    EXPECT_THROW(view->setSize(-1), lumo::CInvalidArgError);
}

TEST(CMemoryBlockViewTest, WindowsOutsideTheParentAreRefused)
{
    lumo::P<lumo::IMemoryBlock> parent = blockOf({1, 2, 3, 4});
    const int32_t windows[][2] = {{-1, 2}, {3, 2}, {0, -1}, {0x7FFFFFFF, 2}};
    for (const auto& w : windows)
        EXPECT_THROW(lumo::make<CMemoryBlockView>(parent, w[0], w[1]), lumo::CInvalidArgError) << w[0] << ' ' << w[1];
    EXPECT_THROW(lumo::make<CMemoryBlockView>(nullptr, 0, 0), lumo::CInvalidArgError);

    lumo::P<CMemoryBlockView> view = lumo::make<CMemoryBlockView>(parent, 2, 2);
    parent->setSize(3);
    EXPECT_THROW(view->getData(), lumo::CInvalidObjectStateError);
}

} // namespace
} // namespace nebo::common
