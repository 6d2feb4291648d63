#include "host/master/CPluginModuleBoxed.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "host/common/CSimpleNEBContext.h"
#include "media/CNEBError.h"
#include "withoutSlave.h"

#include <gtest/gtest.h>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

// A boxed module names its plugin and makes sources without a slave; only its questions need one.
TEST(CPluginModuleBoxedTest, ABoxedModuleStartsNoSlaveBeforeAQuestionOrAnOpen)
{
    const SWithoutSlave withoutSlave;
    // No such file: the module looks at no file, only the cache keys by it.
    const SLibraryFile library{"/nowhere/nebo_avlib.so", 1, 1, ""};
    const P<CPluginModuleBoxed> module = make<CPluginModuleBoxed>(make<CSimpleNEBContext>(), String("avlib"), library);
    const P<lumo::CURI> media = make<lumo::CURI>(String("file:///media/clip.avi"));
    EXPECT_FALSE(module->tryCreateFormat(*media, formatType, true, nullptr));

    const INEBPlugin::SSourceParams params{16, 1, 2, 3};
    const P<ISource> source = module->tryCreateSource(*media, pictureSourceType, false, &params);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->isOpened());
    EXPECT_EQ(source->getURI()->getText(), media->getText());
    EXPECT_EQ(source->getPluginName(), String("avlib"));
    lumo::expectError<CNEBError>("source is not opened \"file:///media/clip.avi\"", [&] { source->getDuration(); });

    EXPECT_THROW(module->getValidTypes(), lumo::CError);
    EXPECT_THROW(module->getValidExtensions(pictureSourceType), lumo::CError);
}
