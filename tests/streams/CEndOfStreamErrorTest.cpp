#include "streams/CEndOfStreamError.h"

#include "foundation/CURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CEndOfStreamErrorTest, NamesTheURITextWhenThereIsOne)
{
    // The URI's own text, escapes and all, not its display text.
    P<CURI> uri = make<CURI>(String("file:///tmp/a%20b"));
    CEndOfStreamError error(uri.get());
    EXPECT_EQ(error.getDescription()->toUTF8(), "Unexpected end of data stream (uri: 'file:///tmp/a%20b').");
    EXPECT_EQ(error.getGeneralDescription()->toUTF8(), "Error");

    P<CException> copy = error.clone();
    ASSERT_NE(dynamic_cast<CEndOfStreamError*>(copy.get()), nullptr);
    EXPECT_EQ(copy->getDescription()->toUTF8(), error.getDescription()->toUTF8());
}

TEST(CEndOfStreamErrorTest, WithoutURI)
{
    CEndOfStreamError error(nullptr);
    EXPECT_EQ(error.getDescription()->toUTF8(), "Unexpected end of data stream.");
    EXPECT_FALSE(error.getURI());
}

} // namespace
} // namespace lumo
