#include "streams/CStreamError.h"

#include "foundation/CURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CStreamErrorTest, IsAURIErrorThatFillsInTheURI)
{
    P<CURI> uri = make<CURI>(String("file:///tmp/a%20b"));
    CStreamError error("Cannot use %URI%.", uri.get());
    EXPECT_EQ(error.getDescription()->toUTF8(), "Cannot use /tmp/a b.");
    EXPECT_EQ(error.getURI().get(), static_cast<const IURI*>(uri.get()));

    P<CException> copy = error.clone();
    EXPECT_NE(dynamic_cast<CStreamError*>(copy.get()), nullptr);
    EXPECT_EQ(copy->getDescription()->toUTF8(), "Cannot use /tmp/a b.");
}

} // namespace
} // namespace lumo
