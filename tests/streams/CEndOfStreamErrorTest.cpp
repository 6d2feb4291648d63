#include "streams/CEndOfStreamError.h"

#include "foundation/CURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CEndOfStreamErrorTest, NamesTheURITextWhenThereIsOne)
{
    // The URI's own text, escapes and all, not its display text.
    P<CURI> uri = make<CURI>(String("file:///tmp/a%20b"));
    P<CException> copy = CEndOfStreamError(uri.get()).clone();
    ASSERT_NE(dynamic_cast<CEndOfStreamError*>(copy.get()), nullptr);
    EXPECT_EQ(copy->getDescription()->toUTF8(), "Unexpected end of data stream (uri: 'file:///tmp/a%20b').");
    EXPECT_EQ(CEndOfStreamError(nullptr).getDescription()->toUTF8(), "Unexpected end of data stream.");
}

} // namespace
} // namespace lumo
