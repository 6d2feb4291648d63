#pragma once

// Runs the real nebo_slave program on a pipe of the test's own, as a master does.
#include "foundation/CURI.h"
#include "foundation/sync/getTickCount.h"
#include "platform/CScopedPipeFolder.h"
#include "platform/CTempFolder.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "platform/waitForEnd.h"
#include "support/binFolder.h"
#include "support/runProgram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace nebo::test {

inline std::string slavePath()
{
    return (binFolder() / "nebo_slave").string();
}

// Starts the slave once its pipe exists, as the master does.
class CSlaveStarter : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    explicit CSlaveStarter(std::string arguments) : m_arguments(std::move(arguments)) {}

    bool pipeCreated() override
    {
        m_slave = lumo::getProcessManager()->createProcess(
            lumo::CURI::fromNativePath(lumo::String::fromUTF8(slavePath())), lumo::String::fromUTF8(m_arguments),
            lumo::PFrail<lumo::IURI>(), lumo::PFrail<lumo::IBase>(), lumo::IProcess::priorityNormal);
        return true;
    }
    const lumo::P<lumo::IProcess>& getSlave() const { return m_slave; }

private:
    std::string m_arguments;
    lumo::P<lumo::IProcess> m_slave;
};

// Where a slave's standard error and debug output go.
struct SSlaveOutput {
    // The descriptor the slave gets as standard error; -1 for the test's own.
    int standardError = -1;
    // The slave's NEBO_DEBUG_OUTPUT; null for none.
    const char* debugOutput = nullptr;
};

// Gives the slaves started meanwhile `output`: they inherit the standard
// error and the environment of the test.
class CScopedSlaveOutput {
public:
    explicit CScopedSlaveOutput(const SSlaveOutput& output) : m_debugOutput("NEBO_DEBUG_OUTPUT", output.debugOutput)
    {
        if (output.standardError < 0)
            return;
        std::fflush(stderr);
        m_savedStandardError = dup(STDERR_FILENO);
        dup2(output.standardError, STDERR_FILENO);
    }
    ~CScopedSlaveOutput()
    {
        if (m_savedStandardError < 0)
            return;
        dup2(m_savedStandardError, STDERR_FILENO);
        close(m_savedStandardError);
    }
    CScopedSlaveOutput(const CScopedSlaveOutput&) = delete;
    CScopedSlaveOutput& operator=(const CScopedSlaveOutput&) = delete;

private:
    lumo::CScopedEnvironment m_debugOutput;
    int m_savedStandardError = -1;
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

    // Makes a pipe, starts the slave on it and returns the master's end once
    // the slave connected; null when it did not connect within a generous bound.
    lumo::P<lumo::IPipeClient> startServedSlave(const std::string& plugin = "nebo_demo", int logLevel = 2,
                                                const SSlaveOutput& output = {})
    {
        static int pipeCount = 0;
        char name[64];
        std::snprintf(name, sizeof name, "nebo_slave-%08x-%08x-%08x", static_cast<unsigned>(getpid()), ++pipeCount,
                      0x5eedu);
        m_server = lumo::getPipeManager()->createServer(lumo::String::fromLatin1(name));
        m_server->setEndTick(lumo::getTickCount() + 20000);
        const std::string arguments = " " + std::to_string(getpid()) + " " + name + " " + plugin + " file://" +
                                      m_errorFile + " " + std::to_string(logLevel);
        lumo::P<CSlaveStarter> starter = lumo::make<CSlaveStarter>(arguments);
        const CScopedSlaveOutput slaveOutput(output);
        lumo::P<lumo::IPipeClient> pipe = m_server->acceptClient(starter.get());
        m_slave = starter->getSlave();
        return pipe;
    }

    std::string errorFileText() const { return readWholeFile(m_errorFile); }

    lumo::CScopedPipeFolder m_pipeFolder;
    lumo::CTempFolder m_temp;
    const std::string m_errorFile = m_temp.pathOf("error.txt");
    lumo::P<lumo::IPipeServer> m_server;
    lumo::P<lumo::IProcess> m_slave;
};

} // namespace nebo::test
