#include "host/CPluginAnswerCache.h"

#include "expectError.h"
#include "host/CPluginExtensions.h"
#include "media/CNEBError.h"

#include <gtest/gtest.h>

#include <string>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

TEST(CPluginAnswerCacheTest, AsksOncePerFileAndAnewForAChangedOne)
{
    const P<CPluginAnswerCache> cache = make<CPluginAnswerCache>();
    int asked = 0;
    const auto ask = [&] { return String::fromUTF8("name " + std::to_string(++asked)); };
    const struct { CPluginAnswerCache::SLibraryFile library; const char* expected; } cases[] = {
        {{"/p/a.so", 10, 100}, "name 1"}, {{"/p/a.so", 10, 100}, "name 1"}, {{"/p/a.so", 11, 100}, "name 2"},
        {{"/p/a.so", 10, 101}, "name 3"}, {{"/p/b.so", 10, 100}, "name 4"}, {{"/p/a.so", 10, 100}, "name 1"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(cache->getPluginName(test.library, ask).toUTF8(), test.expected) << test.library.path;
    EXPECT_EQ(cache->getQuestionCount(), 4);
}

TEST(CPluginAnswerCacheTest, KeepsNoFailure)
{
    // A slave that failed may have met a passing trouble: the next handler asks again.
    const P<CPluginAnswerCache> cache = make<CPluginAnswerCache>();
    const CPluginAnswerCache::SLibraryFile failing{"/p/failing.so", 1, 1};
    lumo::expectError<CNEBError>(
        "crashed", [&] { cache->getPluginName(failing, []() -> String { throw CNEBError(String("crashed")); }); });
    EXPECT_EQ(cache->getPluginName(failing, [] { return String("recovered"); }).toUTF8(), "recovered");
    EXPECT_EQ(cache->getQuestionCount(), 2);
}

TEST(CPluginAnswerCacheTest, KeepsExtensionsPerTypesAndAsksAgainAfterANullAnswer)
{
    const P<CPluginAnswerCache> cache = make<CPluginAnswerCache>();
    int asked = 0;
    const auto ask = [&] {
        const P<CPluginExtensions> extensions = make<CPluginExtensions>();
        extensions->addExtension(String::fromUTF8("e" + std::to_string(++asked)));
        return P<IPluginExtensions>(extensions);
    };
    const CPluginAnswerCache::SLibraryFile library{"/p/a.so", 1, 1};
    const auto firstOf = [&](int32_t nTypes) {
        return String::fromUTF16(cache->getValidExtensions(library, nTypes, ask)->getExtension(0)).toUTF8();
    };
    EXPECT_EQ(firstOf(1), "e1");
    EXPECT_EQ(firstOf(1), "e1");
    EXPECT_EQ(firstOf(3), "e2");
    // A null answer is asked again.
    EXPECT_FALSE(cache->getValidExtensions(library, 2, [] { return P<IPluginExtensions>(); }));
    EXPECT_EQ(firstOf(2), "e3");
    // The name is a question of its own.
    EXPECT_EQ(cache->getPluginName(library, [] { return String("a"); }).toUTF8(), "a");
    EXPECT_EQ(cache->getQuestionCount(), 5);
}
