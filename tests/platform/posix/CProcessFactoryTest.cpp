#include "platform/CProcessFactory.h"

#include "CProcessProbe.h"
#include "foundation/CURI.h"
#include "foundation/CURITypeNotSupportedError.h"

namespace lumo::posix {
namespace {

P<IProcess> start(const std::string& uri, bool bTrying = true)
{
    P<CProcessFactory> factory = make<CProcessFactory>();
    const P<IURI> program = make<CURI>(String::fromUTF8(uri));
    return bTrying ? factory->tryCreateProcess(program, String("x"), PFrail<IURI>(), PFrail<IBase>(), 0)
                   : factory->createProcess(program, String("x"), PFrail<IURI>(), PFrail<IBase>(), 0);
}

// The portable test has the rules for URIs; which of them name a local file
// is the system's: a path without a scheme does, one on another host not.
TEST(CProcessFactoryTest, PathsWithoutSchemeAreLocalAndFilesOnOtherHostsAreNot)
{
    CProcessProbe probe;
    const std::string escaped = CURI::escape(String::fromUTF8(probe.getScriptPath()), "/").toUTF8();
    P<IProcess> process = start(escaped);
    ASSERT_TRUE(process);
    ASSERT_TRUE(waitForEnd(*process));
    EXPECT_EQ(probe.getOutput().at(1), probe.getScriptPath());
    EXPECT_FALSE(start("file://elsewhere" + escaped));
    EXPECT_THROW(start("file://elsewhere" + escaped, false), CURITypeNotSupportedError);
}

} // namespace
} // namespace lumo::posix
