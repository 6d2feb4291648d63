#include "host/common/CSimpleNEBContext.h"

#include "foundation/CParseError.h"
#include "host/slaveReplies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nebo::common {
namespace {

using Names = std::vector<std::string>;

lumo::P<lumo::CURI> uriOf(const char* text) { return lumo::make<lumo::CURI>(lumo::String::fromUTF8(text)); }

struct CSimpleNEBContextTest : testing::Test, SWire {
    lumo::P<CSimpleNEBContext> context = lumo::make<CSimpleNEBContext>();

    // The flags, both folders and the libraries, all as texts.
    static Names stateOf(INEBContext& of)
    {
        Names state{std::to_string(of.getPrefetch()) + std::to_string(of.getFlag2()),
                    of.getBaseDirectories()->getOtherDirectory()->getText().toUTF8(),
                    of.getBaseDirectories()->getTempDirectory()->getText().toUTF8()};
        for (int32_t i = 0; i < of.getPluginLibraryCount(); ++i)
            state.push_back(of.getPluginLibrary(i).toUTF8());
        return state;
    }
};

TEST_F(CSimpleNEBContextTest, ReadsBackWhatItWroteWithoutTheCache)
{
    context->setPrefetch(false);
    context->getBaseDirectories()->setOtherDirectory(*uriOf("file:///srv/other/"));
    context->getBaseDirectories()->setTempDirectory(*uriOf("file:///var/tmp/caf%C3%A9/"));
    for (const char* name : {"nebo_avlib", "s\xC3\xB6und", "nebo_avlib"})
        context->addPluginLibrary(lumo::String::fromUTF8(name));
    context->write(*out);

    auto copy = lumo::make<CSimpleNEBContext>();
    copy->setFlag2(false);
    copy->addPluginLibrary(lumo::String("stale"));
    copy->setPluginForURI(pictureSourceType, *uriOf("file:///a.avi"), lumo::String("nebo_avlib"));
    written();
    EXPECT_TRUE(copy->read(*in));

    EXPECT_EQ(stateOf(*copy), (Names{"01", "file:///srv/other/", "file:///var/tmp/caf%C3%A9/", "nebo_avlib",
                                     "s\xC3\xB6und", "nebo_avlib"}));
    EXPECT_TRUE(copy->getPluginForURI(pictureSourceType, *uriOf("file:///a.avi")).isEmpty());
}

TEST_F(CSimpleNEBContextTest, RefusesANegativeLibraryCountAndStaysAsItWas)
{
    context->addPluginLibrary(lumo::String("kept"));
    const Names before = stateOf(*context);
    // The two flags, the two folders, then a count of libraries below zero.
    const Bytes wire = Bytes{0, 0} + wireText("file:///other/") + wireText("file:///temp/") + wireInt32(-2);
    EXPECT_THROW(context->read(feed(wire)), lumo::CParseError);
    EXPECT_EQ(stateOf(*context), before);
}

} // namespace
} // namespace nebo::common
