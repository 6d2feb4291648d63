#include "platform/CProcessFactory.h"

#include "CProcessProbe.h"
#include "foundation/CURI.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"
#include "platform/CProcessOptions.h"

#include <csignal>

namespace lumo::posix {
namespace {

P<IURI> uriOf(const std::string& text)
{
    return make<CURI>(String::fromUTF8(text));
}

P<IProcess> start(const P<IURI>& program, bool bTrying = true)
{
    P<CProcessFactory> factory = make<CProcessFactory>();
    return bTrying ? factory->tryCreateProcess(program, String("x"), PFrail<IURI>(), PFrail<IBase>(), 0)
                   : factory->createProcess(program, String("x"), PFrail<IURI>(), PFrail<IBase>(), 0);
}

TEST(CProcessFactoryTest, HandlesLocalFileURIsAndURIsWithoutSchemeButNoPathWithAZero)
{
    CProcessProbe probe;
    const std::string escaped = CURI::escape(String::fromUTF8(probe.getScriptPath()), "/").toUTF8();
    const struct {
        std::string uri;
        bool bHandled;
    } cases[] = {
        {"file://" + escaped, true},
        {"FILE://localhost" + escaped, true},
        {escaped, true},
        {"file://elsewhere" + escaped, false},
    };
    for (const auto& test : cases) {
        P<IProcess> process = start(uriOf(test.uri));
        EXPECT_EQ(static_cast<bool>(process), test.bHandled) << test.uri;
        if (!process) {
            EXPECT_THROW(start(uriOf(test.uri), false), CURITypeNotSupportedError) << test.uri;
            continue;
        }
        ASSERT_TRUE(waitForEnd(*process));
        EXPECT_EQ(process->getExitCode(), 1) << test.uri;
        EXPECT_EQ(probe.getOutput().at(1), probe.getScriptPath()) << test.uri;
    }
    EXPECT_THROW(start(uriOf("/bin/true%00x")), CURIFormatError);
    EXPECT_THROW(start(uriOf("file:///bin/true%00x")), CURIFormatError);
}

TEST(CProcessFactoryTest, TakesProcessOptionsFromTheOtherArgumentAndIgnoresOtherObjects)
{
    P<CProcessOptions> ownGroup = make<CProcessOptions>();
    ownGroup->bOwnProcessGroup = true;
    const struct {
        P<IBase> other;
        bool bOwnGroup;
    } cases[] = {{ownGroup, true}, {make<CObject>(), false}, {nullptr, false}};
    for (const auto& test : cases) {
        P<IProcess> process = make<CProcessFactory>()->createProcess(
            uriOf("/bin/sleep"), String("30"), PFrail<IURI>(), PFrail<IBase>(test.other.get(), true), 0);
        const auto pid = static_cast<pid_t>(process->getID());
        EXPECT_EQ(test.bOwnGroup ? pid : getpgrp(), getpgid(pid)) << test.bOwnGroup;
        process->terminate();
        EXPECT_TRUE(waitForEnd(*process));
    }
}

} // namespace
} // namespace lumo::posix
