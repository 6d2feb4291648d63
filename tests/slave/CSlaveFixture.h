#pragma once

// Runs the real nebo_slave program on a pipe of the test's own, as a master does.
#include "foundation/CURI.h"
#include "foundation/sync/getTickCount.h"
#include "platform/CProcessOptions.h"
#include "platform/CTempFolder.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "platform/fileNameSuffixes.h"
#include "platform/waitForEnd.h"
#include "support/CScopedPipePlace.h"
#include "support/CScopedStandardStreams.h"
#include "support/binFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace nebo::test {

inline std::string slavePath()
{
    return (binFolder() / (std::string("nebo_slave") + lumo::getProgramSuffix())).string();
}

// Starts the slave once its pipe exists, as the master does, in the test's environment with NEBO_DEBUG_OUTPUT as given.
class CSlaveStarter : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    CSlaveStarter(std::string arguments, const char* debugOutput)
        : m_arguments(std::move(arguments)), m_options(lumo::make<lumo::CProcessOptions>())
    {
        m_options->takeCallerVariables([](const std::string& name) { return name != "NEBO_DEBUG_OUTPUT"; });
        if (debugOutput)
            m_options->environment.push_back(std::string("NEBO_DEBUG_OUTPUT=") + debugOutput);
    }

    bool pipeCreated() override
    {
        m_slave = lumo::getProcessManager()->createProcess(
            lumo::CURI::fromNativePath(lumo::String::fromUTF8(slavePath())), lumo::String::fromUTF8(m_arguments),
            lumo::PFrail<lumo::IURI>(), lumo::PFrail<lumo::IBase>(m_options.get(), true),
            lumo::IProcess::priorityNormal);
        return true;
    }
    const lumo::P<lumo::IProcess>& getSlave() const { return m_slave; }

private:
    std::string m_arguments;
    lumo::P<lumo::CProcessOptions> m_options;
    lumo::P<lumo::IProcess> m_slave;
};

// Where a slave's standard error and debug output go.
struct SSlaveOutput {
    // The file the slave gets as standard error; empty for the test's own.
    std::string standardErrorPath;
    // The slave's NEBO_DEBUG_OUTPUT; null for none.
    const char* debugOutput = nullptr;
};

class CSlaveFixture : public ::testing::Test {
protected:
    void SetUp() override { m_temp.put("error.txt", ""); }
    void TearDown() override
    {
        // Dropping the pipe server ends a slave that still serves.
        m_server = nullptr;
        if (m_slave) {
            EXPECT_TRUE(lumo::waitForEnd(*m_slave));
        }
    }

    // Makes a pipe, starts the slave with nebo_demo on it and returns the master's end once the slave connected; null
    // when it did not connect within a generous bound.
    lumo::P<lumo::IPipeClient> startServedSlave(int logLevel = 2, const SSlaveOutput& output = {})
    {
        static int pipeCount = 0;
        const lumo::String name = m_pipes.nameOf("nebo_slave-" + std::to_string(++pipeCount));
        m_server = lumo::getPipeManager()->createServer(name);
        m_server->setEndTick(lumo::getTickCount() + 20000);
        const std::string arguments = " " + std::to_string(lumo::getCurrentProcessID()) + " " + name.toUTF8() +
                                      " nebo_demo " + errorFileURI() + " " + std::to_string(logLevel);
        lumo::P<CSlaveStarter> starter = lumo::make<CSlaveStarter>(arguments, output.debugOutput);
        const CScopedStandardStreams slaveOutput("", output.standardErrorPath);
        lumo::P<lumo::IPipeClient> pipe = m_server->acceptClient(starter.get());
        m_slave = starter->getSlave();
        return pipe;
    }

    std::string errorFileText() const { return readWholeFile(m_errorFile); }
    std::string errorFileURI() const { return m_temp.uriOf("error.txt")->getText().toUTF8(); }

    lumo::CScopedPipePlace m_pipes;
    lumo::CTempFolder m_temp;
    const std::string m_errorFile = m_temp.pathOf("error.txt");
    lumo::P<lumo::IPipeServer> m_server;
    lumo::P<lumo::IProcess> m_slave;
};

} // namespace nebo::test
