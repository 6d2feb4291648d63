#include "host/CPluginModuleBoxed.h"

#include "host/CNEBError.h"
#include "host/CSimpleNEBContext.h"

#include <gtest/gtest.h>

#include <functional>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

TEST(CPluginModuleBoxedTest, KnowsOnlyItsNameUntilSlavesServeIt)
{
    const P<CPluginModuleBoxed> module = make<CPluginModuleBoxed>(make<CSimpleNEBContext>(), String("avlib"));
    const P<lumo::CURI> media = make<lumo::CURI>(String("file:///media/clip.avi"));

    EXPECT_EQ(module->getPluginName(), String("avlib"));
    EXPECT_FALSE(module->tryCreateFormat(*media, formatType, true, nullptr));

    const std::function<void()> needSlave[] = {
        [&] { module->getValidTypes(); },
        [&] { module->getValidExtensions(pictureSourceType); },
        [&] { module->tryCreateSource(*media, pictureSourceType, true, nullptr); },
    };
    for (const auto& call : needSlave) {
        try {
            call();
            ADD_FAILURE() << "answered without a slave";
        } catch (const CNEBError& error) {
            EXPECT_EQ(String(error.getDescription()), String("boxed plugins are not available yet: avlib"));
        }
    }
}
