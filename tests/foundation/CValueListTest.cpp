#include "foundation/CValueList.h"

#include "CLifeProbe.h"
#include "foundation/TValue.h"
#include "foundation/WEnum.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lumo {
namespace {

using Names = std::set<std::string>;

TEST(CValueListTest, CaseInsensitiveListKeepsOneEntryUnderTheFirstSpelling)
{
    for (bool bCaseSensitive : {false, true}) {
        SCOPED_TRACE(bCaseSensitive);
        P<CValueList> list = make<CValueList>(bCaseSensitive);
        list->setString("Name", String("first"));
        list->setString("NAME", String("second"));
        EXPECT_EQ(list->getString("Name").toUTF8(), bCaseSensitive ? "first" : "second");
        EXPECT_EQ(list->getString("name").isEmpty(), bCaseSensitive);
        Names names;
        for (WEnum<IString> walk(list->getNames()); walk.hasMoreElements();)
            names.insert(walk.nextElement()->toUTF8());
        EXPECT_EQ(names, (bCaseSensitive ? Names{"Name", "NAME"} : Names{"Name"}));
    }
}

TEST(CValueListTest, TypedGettersFindTheirOwnKindOnlyAndNeverThrow)
{
    // The other typed getters are the same cast of what get() finds.
    P<CValueList> list = make<CValueList>(true);
    list->setInt("int", 5);
    list->setString("string", String("five"));
    list->set("null", nullptr);
    for (const std::string name : {"int", "string", "null", "missing"}) {
        const String key = String::fromUTF8(name);
        EXPECT_EQ(bool(list->getInt(key)), name == "int") << name;
        EXPECT_EQ(list->getString(key).isEmpty(), name != "string") << name;
        EXPECT_EQ(bool(list->get(key)), name == "int" || name == "string") << name;
        EXPECT_EQ(list->contains(key), name != "missing") << name;
    }
    EXPECT_EQ(list->getInt("int")->get(), 5);
}

TEST(CValueListTest, ReplacingRemovingAndClearingReleaseTheValues)
{
    int destructions = 0;
    P<CValueList> list = make<CValueList>(true);
    for (const char* name : {"a", "b", "c"})
        list->set(String::fromUTF8(name), make<CLifeProbe>(destructions));

    P<IBase> replacement = make<CLifeProbe>(destructions);
    list->set("a", replacement);
    EXPECT_EQ(destructions, 1);
    EXPECT_EQ(list->get("a"), replacement);
    list->set("a", replacement);
    EXPECT_EQ(destructions, 1) << "setting the same value again keeps it alive";

    EXPECT_TRUE(list->remove("b"));
    EXPECT_EQ(destructions, 2);

    list->clear();
    EXPECT_EQ(destructions, 3) << "the replacement is still held here";
    list->set("d", make<CLifeProbe>(destructions));
    list = nullptr;
    EXPECT_EQ(destructions, 4);
}

} // namespace
} // namespace lumo
