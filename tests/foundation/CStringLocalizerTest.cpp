#include "foundation/CStringLocalizer.h"

#include "CFakeURI.h"
#include "ScopedLocalizedText.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CStringLocalizerTest : public ::testing::Test {
protected:
    std::string lookUp(const char* key) { return utf8(localizer->localize(String::fromUTF8(key), "default")); }

    P<CStringLocalizer> localizer = make<CStringLocalizer>();
    P<CStringLocalizer> fallback = make<CStringLocalizer>();
};

TEST_F(CStringLocalizerTest, MissingKeyGivesTheDefault)
{
    EXPECT_EQ(lookUp("lumo.nothing"), "default");
}

TEST_F(CStringLocalizerTest, StoredTextWinsOverTheDefault)
{
    localizer->setText("lumo.key", "text");
    EXPECT_EQ(lookUp("lumo.key"), "text");
    localizer->setText("lumo.key", "newer text");
    EXPECT_EQ(lookUp("lumo.key"), "newer text");
}

TEST_F(CStringLocalizerTest, EmptyTextCountsAsMissing)
{
    localizer->setText("lumo.key", String());
    EXPECT_EQ(lookUp("lumo.key"), "default");
}

TEST_F(CStringLocalizerTest, KeysAreCaseSensitive)
{
    localizer->setText("lumo.Key", "text");
    EXPECT_EQ(lookUp("lumo.key"), "default");
}

TEST_F(CStringLocalizerTest, FallbackAnswersForMissingAndEmptyTexts)
{
    fallback->setText("lumo.missing", "from fallback");
    fallback->setText("lumo.empty", "from fallback too");
    localizer->setText("lumo.empty", String());
    localizer->setFallback(fallback.get());
    EXPECT_EQ(lookUp("lumo.missing"), "from fallback");
    EXPECT_EQ(lookUp("lumo.empty"), "from fallback too");
}

TEST_F(CStringLocalizerTest, OwnTextWinsOverTheFallback)
{
    fallback->setText("lumo.key", "from fallback");
    localizer->setText("lumo.key", "own");
    localizer->setFallback(fallback.get());
    EXPECT_EQ(lookUp("lumo.key"), "own");
}

TEST_F(CStringLocalizerTest, FallbackWithoutTextGivesTheDefault)
{
    localizer->setFallback(fallback.get());
    EXPECT_EQ(lookUp("lumo.key"), "default");
}

TEST_F(CStringLocalizerTest, RemovedFallbackIsNoLongerAsked)
{
    fallback->setText("lumo.key", "from fallback");
    localizer->setFallback(fallback.get());
    localizer->setFallback(nullptr);
    EXPECT_EQ(lookUp("lumo.key"), "default");
}

TEST_F(CStringLocalizerTest, ClearRemovesTheTextsButKeepsTheFallback)
{
    localizer->setText("lumo.a", "a");
    fallback->setText("lumo.b", "b");
    localizer->setFallback(fallback.get());
    localizer->clear();
    EXPECT_EQ(lookUp("lumo.a"), "default");
    EXPECT_EQ(lookUp("lumo.b"), "b");
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

TEST(StringLocalizerInstanceTest, IsOneObjectThatTheFreeFunctionAsks)
{
    EXPECT_EQ(getStringLocalizer(), getStringLocalizer());
    EXPECT_EQ(localize("lumo.test.unset", "built in").toUTF8(), "built in");
    ScopedLocalizedText text("lumo.test.unset", "set");
    EXPECT_EQ(localize("lumo.test.unset", "built in").toUTF8(), "set");
}

} // namespace
} // namespace lumo
