#include "foundation/CEndOfEnumError.h"

#include "CFakeURI.h"
#include "ScopedLocalizedText.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CEndOfEnumErrorTest, UsesTheBuiltInStateMessage)
{
    CEndOfEnumError error(nullptr, &typeid(CObject));
    EXPECT_EQ(utf8(error.getDescription()), "The object is in an invalid state (object class: class lumo::CObject): "
                                            "end of enumeration already reached.");
    EXPECT_TRUE(dynamic_cast<CInvalidObjectStateError*>(&error));
}

TEST(CEndOfEnumErrorTest, UsesTheLocalizedStateMessage)
{
    ScopedLocalizedText text("lumo.CEndOfEnumError.desc", "keine weiteren Elemente");
    CEndOfEnumError error(nullptr);
    EXPECT_EQ(utf8(error.getStateMessage()), "keine weiteren Elemente");
}

} // namespace
} // namespace lumo
