#include "platform/CProcessFactory.h"

#include "CProcessProbe.h"
#include "foundation/CURI.h"

namespace lumo::posix {
namespace {

// The portable test has the rules for URIs; a path without a scheme is a
// local file only where absolute paths need no drive.
TEST(CProcessFactoryTest, APathWithoutSchemeIsALocalFile)
{
    CProcessProbe probe;
    const std::string escaped = CURI::escape(String::fromUTF8(probe.getScriptPath()), "/").toUTF8();
    P<IProcess> process = make<CProcessFactory>()->tryCreateProcess(
        make<CURI>(String::fromUTF8(escaped)), String("x"), PFrail<IURI>(), PFrail<IBase>(), 0);
    ASSERT_TRUE(process);
    ASSERT_TRUE(waitForEnd(*process));
    EXPECT_EQ(probe.getOutput().at(1), probe.getScriptPath());
}

} // namespace
} // namespace lumo::posix
