#include "slave/CSlave.h"

#include "foundation/CError.h"
#include "foundation/CObject.h"
#include "foundation/sync/ISignalFactory.h"
#include "host/CPluginHandler.h"
#include "host/common/CNullLogManager.h"
#include "host/common/CSimpleNEBContext.h"
#include "platform/CTempFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

using lumo::make;
using lumo::P;
using nebo::common::CSlave;
using nebo::common::ILogManager;
using nebo::common::INEBContext;
using nebo::common::IPluginHandler;

using Events = std::vector<std::string>;

// A `Base` that records its own release, so tests see the order in which the slave lets go.
template <class Base> class TTracked : public Base {
public:
    template <class... Arguments> TTracked(Events& events, std::string name, Arguments&&... arguments)
        : Base(std::forward<Arguments>(arguments)...), m_events(events), m_name(std::move(name))
    {
    }
    ~TTracked() override { m_events.push_back("released " + m_name); }

private:
    Events& m_events;
    std::string m_name;
};

using CTracked = TTracked<lumo::CObject>;

// A pipe that is never used: the fake server reads nothing from it.
class CFakePipe : public CTracked, public virtual lumo::IPipeClient {
public:
    using CTracked::CTracked;
    bool connect() override { return true; }
    void disconnect() override {}
    bool isConnected() override { return true; }
    void writeFully(const void*, int32_t) override {}
    bool writeByte(uint8_t) override { return true; }
    void readFully(void*, int32_t) override {}
    int32_t getAvailable() override { return 0; }
    void setDeadline(int64_t) override {}
    P<lumo::IPipeInStream> getInStream() override { return nullptr; }
    P<lumo::IPipeOutStream> getOutStream() override { return nullptr; }
};

class CFakeServer : public CTracked, public virtual nebo::common::ISlaveServer {
public:
    using Request = std::function<void(CFakeServer&)>;

    CFakeServer(Events& events, Request request)
        : CTracked(events, "server"), m_quit(lumo::getSignalFactory()->createSignal()), m_request(std::move(request))
    {
    }
    P<lumo::ISignal> getQuitSignal() override { return m_quit; }
    void serveNext() override
    {
        if (m_request)
            m_request(*this);
        if (--m_requestsLeft == 0)
            m_quit->set();
    }
    bool wasQuitReceived() override { return m_quit->isSet() || m_bSourceQuit; }

    // The master's "Quit" to a source server that took the pipe over.
    void quitSource() { m_bSourceQuit = true; }

private:
    P<lumo::ISignal> m_quit;
    // The master's "Quit" comes with the third request.
    int m_requestsLeft = 3;
    Request m_request;
    bool m_bSourceQuit = false;
};

class CFakeServices : public nebo::common::ISlaveServices {
public:
    Events events;
    std::string errorFilePath;
    CFakeServer::Request onRequest;
    // Debug lines given with the run's log, and without any log.
    std::string loggedDebugOutput;
    std::string debugOutput;
    ILogManager* logManager = nullptr;
    bool crashFilterInstalled = false;

    P<ILogManager> createLogManager(int) override
    {
        P<ILogManager> log = make<TTracked<nebo::common::CNullLogManager>>(events, "log manager");
        logManager = log.get();
        return log;
    }
    P<INEBContext> createContext(const P<ILogManager>&, const lumo::String& pluginName) override
    {
        events.push_back("plugin " + pluginName.toUTF8());
        P<INEBContext> context = make<TTracked<nebo::common::CSimpleNEBContext>>(events, "context");
        // A plugin no folder holds: the handler loads nothing.
        context->addPluginLibrary("nebo_none");
        return context;
    }
    P<IPluginHandler> createPluginHandler(const P<INEBContext>& context) override
    {
        events.push_back("load plugins");
        return make<TTracked<nebo::common::CPluginHandler>>(events, "plugin handler", context, false);
    }
    std::string getNativePath(const lumo::String& uriText) override
    {
        events.push_back("path of " + uriText.toUTF8());
        return errorFilePath;
    }
    void installCrashFilter(const std::string& path) override
    {
        EXPECT_EQ(path, errorFilePath);
        crashFilterInstalled = true;
    }
    void removeCrashFilter() override { crashFilterInstalled = false; }
    void prepareHeap() override { events.push_back("prepare heap"); }
    P<lumo::IPipeClient> connectPipe(const lumo::String& pipeName) override
    {
        events.push_back("connect " + pipeName.toUTF8());
        return make<CFakePipe>(events, "pipe");
    }
    void confineProcess(const P<INEBContext>&) override { events.push_back("confine"); }
    void confineChild(const std::string&) override { events.push_back("confine child"); }
    P<nebo::common::ISlaveServer> createServer(const P<lumo::IPipeClient>&, const P<INEBContext>&,
                                               const P<IPluginHandler>&) override
    {
        return make<CFakeServer>(events, onRequest);
    }
    bool fileExists(const std::string& path) override { return std::filesystem::exists(path); }
    void deleteFile(const std::string& path) override { std::filesystem::remove(path); }
    void writeDebugOutput(const std::string& text, ILogManager* log) override
    {
        if (!log) {
            debugOutput += text;
            return;
        }
        EXPECT_EQ(log, logManager);
        EXPECT_EQ(std::find(events.begin(), events.end(), "released log manager"), events.end());
        loggedDebugOutput += text;
    }
};

class CSlaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        services.errorFilePath = m_folder.pathOf("error.txt");
        m_folder.put("error.txt", "");
    }

    int run() { return CSlave(services).run(" 4711 nebo_slave-1-2-3 nebo_test file:///error.txt 2"); }
    std::string errorFileText() const { return nebo::test::readWholeFile(services.errorFilePath); }
    bool errorFileExists() const { return std::filesystem::exists(services.errorFilePath); }

    CFakeServices services;
    lumo::CTempFolder m_folder;
};

const char* const finalLine = "slave finished without any trouble after trycatch\n";

TEST_F(CSlaveTest, CleanRunServesUntilQuitAndDeletesTheErrorFile)
{
    int requests = 0;
    services.onRequest = [&](CFakeServer&) { ++requests; };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(requests, 3);
    EXPECT_FALSE(errorFileExists());
    EXPECT_EQ(services.debugOutput, finalLine);
    EXPECT_FALSE(services.crashFilterInstalled);
    // clang-format off
    const Events expected = {"plugin nebo_test", "path of file:///error.txt", "prepare heap",
                             "connect nebo_slave-1-2-3", "confine", "load plugins", "released server", "released pipe",
                             "released plugin handler", "released context", "released log manager"};
    // clang-format on
    EXPECT_EQ(services.events, expected);
}

// How a run ends, by what its first request does.
struct SEndCase {
    const char* name;
    CFakeServer::Request request;
    // What the error file holds afterwards; null when it is gone.
    const char* errorFileText;
    // In a folder that does not exist: the error reaches the run's log as a debug line instead.
    bool bUnwritableErrorFile = false;
};

void PrintTo(const SEndCase& end, std::ostream* out) { *out << end.name; }

struct CSilentError : std::exception {
    const char* what() const noexcept override { return nullptr; }
};

const SEndCase endCases[] = {
    {"OtherErrorAfterQuitToTheSource",
     [](CFakeServer& server) {
         server.quitSource();
         throw lumo::CError("Pipe was closed", "Error");
     },
     "lumo::CException\nType: Error\ntext: Pipe was closed"},
    {"SystemError", [](CFakeServer&) { throw lumo::CError("lost", "Failure"); },
     "lumo::CException\nType: Failure\ntext: lost"},
    {"StandardExceptionWithoutText", [](CFakeServer&) { throw CSilentError(); }, "std::exception\nErrorString: "},
    {"AnythingElse", [](CFakeServer&) { throw 42; }, "unknown exception"},
    {"UnwritableErrorFile", [](CFakeServer&) { throw lumo::CError("lost"); }, nullptr, true},
};

class CSlaveEndTest : public CSlaveTest, public ::testing::WithParamInterface<SEndCase> {};

TEST_P(CSlaveEndTest, ErrorFileTellsHowTheRunEnded)
{
    services.onRequest = GetParam().request;
    if (GetParam().bUnwritableErrorFile)
        services.errorFilePath += ".missing-folder/error.txt";
    EXPECT_EQ(run(), 0);
    if (GetParam().errorFileText) {
        EXPECT_EQ(errorFileText(), GetParam().errorFileText);
    } else {
        EXPECT_FALSE(errorFileExists());
    }
    EXPECT_EQ(services.debugOutput, finalLine);
    EXPECT_EQ(services.loggedDebugOutput,
              GetParam().bUnwritableErrorFile ? "nebo_slave.exe: Could not write to logfile" : "");
    EXPECT_FALSE(services.crashFilterInstalled);
    EXPECT_EQ(services.events.back(), "released log manager");
}

INSTANTIATE_TEST_SUITE_P(EveryEnd, CSlaveEndTest, ::testing::ValuesIn(endCases),
                         [](const ::testing::TestParamInfo<SEndCase>& info) { return info.param.name; });

} // namespace
