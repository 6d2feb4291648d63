#include "host/plugin/CPluginExtensions.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CParseError.h"
#include "host/slaveReplies.h"
#include "streams/CEndOfStreamError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nebo::common {
namespace {

using List = std::vector<std::u16string>;

struct CPluginExtensionsTest : testing::Test, SWire {
    lumo::P<CPluginExtensions> extensions = lumo::make<CPluginExtensions>();

    static List listOf(CPluginExtensions& list)
    {
        List texts;
        for (int32_t i = 0; i < list.getExtensionCount(); ++i)
            texts.emplace_back(list.getExtension(i));
        return texts;
    }
};

TEST_F(CPluginExtensionsTest, KeepsOwnCopiesAndRefusesIndexesOutsideTheList)
{
    std::u16string caller = u"avi";
    extensions->addExtension(caller.c_str());
    caller = u"xyz";
    extensions->addExtension(lumo::String("mkv"));

    EXPECT_EQ(listOf(*extensions), (List{u"avi", u"mkv"}));
    for (int32_t index : {-1, 2, INT32_MIN})
        EXPECT_THROW(extensions->getExtension(index), lumo::CInvalidArgError) << index;
}

TEST_F(CPluginExtensionsTest, ReadingAppendsWhatWasWritten)
{
    auto sent = lumo::make<CPluginExtensions>();
    for (const char16_t* text : {u"mp4", u"\u00e9t\u00e9", u"\U0001F3B5", u""})
        sent->addExtension(text);
    sent->write(*out);
    // The count, then a byte count and the UTF-8 bytes of each text.
    EXPECT_EQ(written().size(), 4u + 4 * 4 + 3 + 5 + 4 + 0);

    extensions->addExtension(u"old");
    EXPECT_TRUE(extensions->read(*in));
    EXPECT_EQ(listOf(*extensions), (List{u"old", u"mp4", u"\u00e9t\u00e9", u"\U0001F3B5", u""}));
    EXPECT_TRUE(in->isEOF());
}

TEST_F(CPluginExtensionsTest, RefusesABadCountAndKeepsItsList)
{
    extensions->addExtension(u"kept");
    in->setMaxItemCount(2);
    const Bytes text = wireText("e");
    for (int32_t count : {-1, 3, INT32_MAX}) {
        EXPECT_THROW(extensions->read(feed(wireInt32(count) + text + text + text)), lumo::CParseError) << count;
        EXPECT_EQ(stream->getPosition(), 4) << count;
    }
    // More strings claimed than arrive.
    EXPECT_THROW(extensions->read(feed(wireInt32(2) + text)), lumo::CEndOfStreamError);

    EXPECT_EQ(listOf(*extensions), List{u"kept"});
}

} // namespace
} // namespace nebo::common
