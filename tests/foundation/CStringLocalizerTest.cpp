#include "foundation/CStringLocalizer.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CStringLocalizerTest : public ::testing::Test {
protected:
    std::string lookUp(const char* key) { return utf8(localizer->localize(String::fromUTF8(key), "default")); }

    P<CStringLocalizer> localizer = make<CStringLocalizer>(), fallback = make<CStringLocalizer>();
};

TEST_F(CStringLocalizerTest, OwnTextsWinAndTheFallbackAnswersForMissingTexts)
{
    localizer->setText("lumo.own", "own");
    fallback->setText("lumo.missing", "from fallback");
    fallback->setText("lumo.own", "from fallback");
    localizer->setFallback(fallback.get());
    EXPECT_EQ(lookUp("lumo.missing"), "from fallback");
    EXPECT_EQ(lookUp("lumo.own"), "own");
    EXPECT_EQ(lookUp("lumo.nowhere"), "default");
}

TEST_F(CStringLocalizerTest, CircularFallbacksGiveTheDefault)
{
    localizer->setFallback(fallback.get());
    fallback->setFallback(localizer.get());
    EXPECT_EQ(lookUp("lumo.key"), "default");
    fallback->setText("lumo.key", "found on the way");
    EXPECT_EQ(lookUp("lumo.key"), "found on the way");
    // The cycle holds both alive; break it so that both can go.
    fallback->setFallback(nullptr);
}

} // namespace
} // namespace lumo
