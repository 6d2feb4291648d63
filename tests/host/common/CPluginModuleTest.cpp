#include "host/common/CPluginModule.h"

#include "host/common/CSimpleNEBContext.h"
#include "platform/ISystem.h"
#include "platform/fileNameSuffixes.h"

#include <gtest/gtest.h>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

// The handler's tests name, list and make through modules; what they do not ask is asked here.
TEST(CPluginModuleTest, ForwardsToThePluginOfTheLibrary)
{
    // The test plugins are built beside this program.
    const P<lumo::CURI> library = make<lumo::CURI>(String("nebo_avlib") + String::fromLatin1(lumo::getModuleSuffix()),
                                                   lumo::getSystem()->getExecutableDirectory().get());
    // The plugin keeps the context without a reference: it must outlive the module.
    const P<INEBContext> context = make<CSimpleNEBContext>();
    const P<CPluginModule> module = make<CPluginModule>(context, *library);
    EXPECT_EQ(module->getValidTypes(), pictureSourceType | soundSourceType | formatType | soundFormatType);
}
