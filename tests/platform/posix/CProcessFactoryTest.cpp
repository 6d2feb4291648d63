#include "platform/CProcessFactory.h"

#include "CProcessChild.h"
#include "foundation/CURI.h"

namespace lumo::posix {
namespace {

// A path without a scheme is a local file only where absolute paths need no drive.
TEST(CProcessFactoryTest, APathWithoutSchemeIsALocalFile)
{
    CProcessChild child;
    const std::string path = child.getProgramPath().string();
    const std::string escaped = CURI::escape(String::fromUTF8(path), "/").toUTF8();
    P<IProcess> process = make<CProcessFactory>()->tryCreateProcess(
        make<CURI>(String::fromUTF8(escaped)), String("report"), PFrail<IURI>(), PFrail<IBase>(), 0);
    ASSERT_TRUE(process);
    ASSERT_TRUE(waitForEnd(*process));
    EXPECT_EQ(child.getReport().at(1), path);
}

} // namespace
} // namespace lumo::posix
