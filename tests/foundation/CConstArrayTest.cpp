#include "foundation/CConstArray.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/IArray.h"
#include "foundation/TValue.h"
#include "foundation/castObject.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CConstArrayTest, CopiesItsElementsAndStaysAliveForItsEnumerator)
{
    TSimpleArray<P<IBase>> source;
    P<IBase> first = make<CInt>(1);
    source.add(first);
    source.add(make<CInt>(2));
    P<IConstArray> array = make<CConstArray>(source);
    source.clear();

    EXPECT_EQ(array->getCount(), 2);
    EXPECT_EQ(array->indexOf(first.get()), 0);
    EXPECT_THROW(array->get(2), CInvalidArgError);
    EXPECT_FALSE(castObject<IArray>(array, false));

    P<IConstEnum> walk = array->getConstEnum();
    array = nullptr;
    EXPECT_EQ(walk->nextElement(), first);
}

} // namespace
} // namespace lumo
