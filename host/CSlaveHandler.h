#pragma once

#include "foundation/CException.h"
#include "foundation/CObject.h"
#include "host/INEBContext.h"
#include "host/CNEBError.h"
#include "host/CSlaveWatchdog.h"
#include "host/INEBPluginRemote.h"
#include "platform/IPipeServer.h"
#include "platform/IProcess.h"

#include <cstdint>
#include <string>
#include <utility>

namespace nebo::common {

class CNEBPluginClient;

// Runs one plugin in a slave process of its own and hands out the plugin
// client on the slave's pipe. The slave starts with the first getClient().
// Releasing the handler ends the slave: it is asked to quit and its pipe is
// closed; one that has not ended after slaveEndWaitMs is killed. Neither
// the process nor the pipe outlives the handler. The error file, in which
// the slave leaves the text of its failure, is made with the handler and
// stays in the temporary folder.
//
// One thread at a time, except that checkForSlaveFailure and endSlave may
// run beside another call once the slave has started.
class CSlaveHandler : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    // How long a slave may take to connect to its pipe.
    static constexpr int32_t slaveConnectTimeoutMs = 10000;
    // How long a slave that should end is given before it is killed.
    static constexpr int32_t slaveEndWaitMs = 3000;
    // How long a call that its caller waits for may take before the slave
    // is taken to hang and is killed.
    static constexpr int32_t slaveCallLimitMs = 10000;

    // Creates the error file. Throws CError "Error creating unique file
    // name." when none can be made.
    CSlaveHandler(lumo::P<INEBContext> context, const lumo::String& pluginName, int32_t priority);
    ~CSlaveHandler() override;

    // Starts the slave when there is no client yet. Throws the process
    // layer's error when the slave cannot be started, CNEBError when it does
    // not connect or fails at once, and the pipe's errors.
    lumo::P<INEBPluginRemote> getClient();
    // Throws CNEBError with the slave's error text or crash report once the
    // error file holds one; returns otherwise.
    void checkForSlaveError();
    // For after a call into the slave failed: once the slave has ended or
    // closed its end of the pipe, waits for its end (killing it after
    // slaveEndWaitMs) and throws CNEBError with its error text, or one naming
    // its exit code when it left none. Returns while the slave serves.
    void checkForSlaveFailure();
    // Runs `call`; when it throws a lumo::CException, a slave that has failed
    // is reported as checkForSlaveFailure does, otherwise the error passes.
    template <class F> auto callIntoSlave(F&& call) -> decltype(call());
    // callIntoSlave for a caller that must come back: a slave that has not
    // answered within slaveCallLimitMs is killed, and the call throws
    // CNEBError saying so.
    template <class F> auto callWithinLimit(F&& call) -> decltype(call());
    // True while the slave runs and its end of the pipe is open.
    bool isServing();
    // Kills the slave now; for one that no longer answers.
    void endSlave();

    // Starts the slave; the pipe server calls it once the pipe exists.
    bool pipeCreated() override;

    // The text after the program's name that the slave is started with.
    lumo::String buildCommandLine();
    const lumo::P<lumo::CURI>& getErrorFile() const { return m_errorFile; }

    // "nebo_slave-%08x-%08x-%08x".
    static lumo::String formatPipeName(uint32_t processID, uint32_t threadID, uint32_t handlerNumber);

private:
    void createSlave();
    void takeStartUpLog();
    // True when the slave ended within slaveEndWaitMs.
    bool waitForSlaveEnd();
    // Ends the slave for good, however it behaves.
    void stopSlave() noexcept;

    int32_t m_priority;
    lumo::P<lumo::IProcess> m_process;
    lumo::P<lumo::IPipeServer> m_pipeServer;
    lumo::P<lumo::IPipeClient> m_connection;
    lumo::P<CNEBPluginClient> m_client;
    lumo::P<INEBContext> m_context;
    lumo::String m_pluginName;
    lumo::P<lumo::CURI> m_errorFile;
    lumo::String m_pipeName;
};

template <class F> auto CSlaveHandler::callIntoSlave(F&& call) -> decltype(call())
{
    try {
        return call();
    } catch (const lumo::CException&) {
        checkForSlaveFailure();
        throw;
    }
}

template <class F> auto CSlaveHandler::callWithinLimit(F&& call) -> decltype(call())
{
    const lumo::P<CSlaveWatchdog> watchdog =
        m_process ? lumo::make<CSlaveWatchdog>(m_process, slaveCallLimitMs) : nullptr;
    try {
        return callIntoSlave(std::forward<F>(call));
    } catch (const lumo::CException&) {
        if (watchdog && watchdog->hasFired())
            throw CNEBError(lumo::String::fromUTF8("CSlaveHandler: nebo_slave did not answer within " +
                                                   std::to_string(slaveCallLimitMs) + " ms and was ended"));
        throw;
    }
}

} // namespace nebo::common
