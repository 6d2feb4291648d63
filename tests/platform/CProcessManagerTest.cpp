#include "platform/CProcessManager.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "foundation/CURITypeNotSupportedError.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

using Calls = std::vector<std::string>;

class CFakeProcess : public CObject, public virtual IProcess {
public:
    bool hasTerminated() override { return true; }
    bool waitForEnd(uint32_t) override { return true; }
    int32_t getExitCode() override { return 0; }
    bool getEnd(SProcessEnd&) override { return true; }
    bool setPriority(int32_t) override { return false; }
    int32_t getPriority() override { return priorityNormal; }
    void terminate() override {}
    void requestHangReport() override {}
    uint32_t getID() override { return 0; }
};

// Notes each call and its arguments; answers with its process or null.
class CFakeFactory : public CObject, public virtual IProcessFactory {
public:
    CFakeFactory(Calls& calls, std::string name, P<IProcess> answer)
        : m_calls(calls), m_name(std::move(name)), m_answer(std::move(answer))
    {
    }
    P<IProcess> tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                 const PFrail<IURI>& workingDirectory, const PFrail<IBase>&, int32_t priority) override
    {
        m_calls.push_back(m_name + " " + executable->getText().toUTF8() + " " + arguments.toUTF8() + " " +
                          (workingDirectory ? workingDirectory->getText().toUTF8() : "-") + " " +
                          std::to_string(priority));
        return m_answer;
    }
    P<IProcess> createProcess(const P<IURI>&, const String&, const PFrail<IURI>&, const PFrail<IBase>&,
                              int32_t) override
    {
        ADD_FAILURE() << "the manager asks with the trying form";
        return nullptr;
    }

private:
    Calls& m_calls;
    std::string m_name;
    P<IProcess> m_answer;
};

P<IURI> uriOf(const char* text) { return make<CURI>(String::fromUTF8(text)); }

TEST(CProcessManagerTest, AsksTheFactoriesInOrderUntilOneAnswers)
{
    Calls calls;
    P<IProcess> first = make<CFakeProcess>();
    P<CProcessManager> manager = make<CProcessManager>();
    manager->addFactory(make<CFakeFactory>(calls, "none", nullptr));
    manager->addFactory(make<CFakeFactory>(calls, "first", first));
    manager->addFactory(make<CFakeFactory>(calls, "second", make<CFakeProcess>()));

    P<IURI> folder = uriOf("file:///work");
    EXPECT_EQ(manager->createProcess(uriOf("x:program"), String("a b"), PFrail<IURI>(folder.get(), false),
                                     PFrail<IBase>(), 20),
              first);
    const Calls expected = {"none x:program a b file:///work 20", "first x:program a b file:///work 20"};
    EXPECT_EQ(calls, expected);
}

TEST(CProcessManagerTest, WithoutAnAnswerTheTryingFormGivesNullAndThePlainFormThrowsAsForNullArguments)
{
    Calls calls;
    P<CProcessManager> manager = make<CProcessManager>();
    P<IURI> program = uriOf("x:program");
    EXPECT_FALSE(manager->tryCreateProcess(program, String(), PFrail<IURI>(), PFrail<IBase>(), 0));

    P<IProcessFactory> factory = make<CFakeFactory>(calls, "only", make<CFakeProcess>());
    manager->addFactory(factory);
    manager->addFactory(factory);
    EXPECT_TRUE(manager->tryCreateProcess(program, String(), PFrail<IURI>(), PFrail<IBase>(), 0));
    manager->removeFactory(factory.get());
    manager->removeFactory(factory.get());
    EXPECT_THROW(manager->createProcess(program, String(), PFrail<IURI>(), PFrail<IBase>(), 0),
                 CURITypeNotSupportedError);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_THROW(manager->addFactory(nullptr), CInvalidArgError);
    EXPECT_THROW(manager->tryCreateProcess(nullptr, String(), PFrail<IURI>(), PFrail<IBase>(), 0), CInvalidArgError);
}

} // namespace
} // namespace lumo
