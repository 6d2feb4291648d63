#include "host/master/CPluginAnswerCache.h"

#include "expectError.h"
#include "host/plugin/CPluginExtensions.h"
#include "media/CNEBError.h"
#include "platform/CTempFolder.h"

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
    const struct {
        SLibraryFile library;
        const char* expected;
    } cases[] = {
        {{"/p/a.so", 10, 100, ""}, "name 1"},
        {{"/p/a.so", 10, 100, ""}, "name 1"},
        {{"/p/a.so", 11, 100, ""}, "name 2"},
        {{"/p/a.so", 10, 101, ""}, "name 3"},
        {{"/p/b.so", 10, 100, ""}, "name 4"},
        // Another slave program may answer otherwise.
        {{"/p/a.so", 10, 100, "/s 1 1"}, "name 5"},
        {{"/p/a.so", 10, 100, ""}, "name 1"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(cache->getPluginName(test.library, ask).toUTF8(), test.expected) << test.library.path;
    EXPECT_EQ(cache->getQuestionCount(), 5);
}

TEST(CPluginAnswerCacheTest, KeepsNoFailure)
{
    // A slave that failed may have met a passing trouble: the next handler asks again.
    const P<CPluginAnswerCache> cache = make<CPluginAnswerCache>();
    const SLibraryFile failing{"/p/failing.so", 1, 1, ""};
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
    const SLibraryFile library{"/p/a.so", 1, 1, ""};
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

// A master that starts after another asks no slave what the other learned, and keeps what it learns itself.
TEST(CPluginAnswerCacheTest, StartsFromTheAnswersOfItsFileAndAddsToThem)
{
    const lumo::CTempFolder folder;
    const CPluginAnswerFile file(folder.pathOf("answers.json"));
    const SLibraryFile known{"/p/a.so", 1, 1, "/s 2 2"};
    const SLibraryFile unknown{"/p/b.so", 1, 1, "/s 2 2"};
    file.store(known, {"a", 3, {{1, {"avi", "mkv"}}}});
    const P<CPluginAnswerCache> cache = make<CPluginAnswerCache>(file);
    const auto never = []() -> String { throw CNEBError(String("asked")); };
    EXPECT_EQ(cache->getPluginName(known, never).toUTF8(), "a");
    EXPECT_EQ(cache->getValidTypes(known, [] { return 0; }), 3);
    const P<IPluginExtensions> extensions = cache->getValidExtensions(known, 1, [] { return P<IPluginExtensions>(); });
    ASSERT_TRUE(extensions);
    EXPECT_EQ(extensions->getExtensionCount(), 2);
    EXPECT_EQ(String::fromUTF16(extensions->getExtension(1)).toUTF8(), "mkv");
    EXPECT_EQ(cache->getQuestionCount(), 0);

    EXPECT_EQ(cache->getPluginName(unknown, [] { return String("b"); }).toUTF8(), "b");
    EXPECT_EQ(cache->getValidTypes(unknown, [] { return 2; }), 2);
    EXPECT_EQ(cache->getQuestionCount(), 2);
    EXPECT_EQ(file.read().at(unknown), (CPluginAnswerFile::SRecord{"b", 2, {}}));
}
