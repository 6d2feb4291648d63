#include "host/CPluginModuleBoxed.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "host/CSimpleNEBContext.h"
#include "host/IVideoSource.h"
#include "media/CNEBError.h"
#include "platform/CTempFolder.h"
#include "support/CScopedEnvironment.h"
#include "support/CScopedPipePlace.h"

#include <gtest/gtest.h>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// No such file: the module looks at no file, only the cache keys by it.
const CPluginAnswerCache::SLibraryFile libraryFile{"/nowhere/nebo_avlib.so", 1, 1};

} // namespace

TEST(CPluginModuleBoxedTest, SourcesStartNothingBeforeTheyAreOpened)
{
    lumo::CScopedPipePlace pipes;
    const P<CPluginModuleBoxed> module = make<CPluginModuleBoxed>(make<CSimpleNEBContext>(), String("avlib"), libraryFile);
    const P<lumo::CURI> media = make<lumo::CURI>(String("file:///media/clip.avi"));

    EXPECT_EQ(module->getPluginName(), String("avlib"));
    EXPECT_FALSE(module->tryCreateFormat(*media, formatType, true, nullptr));

    const INEBPlugin::SSourceParams params{16, 1, 2, 3};
    const P<ISource> source = module->tryCreateSource(*media, pictureSourceType, false, &params);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->isOpened());
    EXPECT_EQ(source->getURI()->getText(), media->getText());
    EXPECT_EQ(source->getPluginName(), String("avlib"));
    source->setStartTime(2.5);
    EXPECT_EQ(source->getStartTime(), 2.5);
    lumo::expectError<CNEBError>("source is not opened \"file:///media/clip.avi\"", [&] { source->getDuration(); });
}

TEST(CPluginModuleBoxedTest, QuestionsNeedASlave)
{
    // The host tests run from a folder of their own, without the slave program.
    lumo::CScopedPipePlace pipes;
    lumo::CTempFolder errorFiles;
    lumo::CScopedEnvironment temp(lumo::getTemporaryFolderVariable(), errorFiles.pathOf("").c_str());
    const P<CPluginModuleBoxed> module = make<CPluginModuleBoxed>(make<CSimpleNEBContext>(), String("avlib"), libraryFile);
    EXPECT_THROW(module->getValidTypes(), lumo::CError);
    EXPECT_THROW(module->getValidExtensions(pictureSourceType), lumo::CError);
}
