#pragma once

#include "foundation/CException.h"
#include "foundation/CObject.h"
#include "foundation/CTimeoutError.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/SSlaveLimits.h"
#include "host/wire/INEBPluginRemote.h"
#include "media/CNEBError.h"
#include "platform/CProcessOptions.h"
#include "platform/IPipeServer.h"
#include "platform/IProcess.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <utility>

namespace nebo::common {

class CNEBPluginClient;
class CPluginFolders;

// Runs one plugin in a slave process of its own and hands out the plugin
// client on the slave's pipe. The slave starts with the first getClient(),
// in a process group of its own, its output discarded unless debug output
// goes to standard error (see debugOutput.h). It inherits no descriptor but
// the standard three, and of the master's environment only the system
// variables (lumo::isSystemVariable), NEBO_* and the sanitizer's settings;
// NEBO_SLAVE_MAX_ADDRESS_SPACE tells it SSlaveLimits::maxSlaveAddressSpace,
// NEBO_PLUGIN_PATH the master's plugin folders. Without a slave program in
// the context, the plugin folders find nebo_slave. Only the process the
// handler started may connect.
//
// Every wait for the slave (connecting, each callWithinLimit, the end) is
// bounded by SSlaveLimits::timeoutMs; a slave out of time is asked for a
// hang report, then ended with its process group. Releasing the handler
// asks the slave to quit, closes the pipe and kills the slave after
// slaveEndWaitMs: neither process nor pipe outlives the handler. The error
// file the slave leaves its failure in is made with the handler and removed
// when it stayed empty. The slave's end and cost go to the context's log.
//
// One thread at a time, except that checkForSlaveError, isServing and
// endSlave may run beside another call once the slave has started.
class CSlaveHandler : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    // How long a slave that should end is given before it is killed, at
    // most the time limit.
    static constexpr int32_t slaveEndWaitMs = 3000;
    // How long a slave out of time gets to write its hang report and end, at
    // most the time limit.
    static constexpr int32_t hangReportWaitMs = 1000;

    // Creates the error file. Throws CError "Error creating unique file
    // name." when none can be made.
    CSlaveHandler(lumo::P<INEBContext> context, const lumo::String& pluginName, int32_t priority);
    ~CSlaveHandler() override;

    // Starts the slave when there is no client yet. Throws the process
    // layer's error at once when the slave program cannot be started, the
    // pipe's errors (an unsafe pipe folder among them), and CNEBError when
    // the slave does not connect and take its first call in time or fails.
    lumo::P<INEBPluginRemote> getClient();
    // Starts the slave as getClient() does, keeping its start-up log for
    // handOver. With `heapAheadBytes`, the slave readies that much of its
    // heap before it connects (lumo::prepareHeap), so that the medium is
    // decoded into pages that exist already. Throws what getClient() throws.
    void startAhead(int64_t heapAheadBytes = 0);
    // For a slave started ahead, before any other call: from now on
    // `context`'s log hears of the slave, beginning with its start-up log.
    // The limits, slave program and memory manager stay those it started
    // with.
    void handOver(lumo::P<INEBContext> context);
    // Throws CSlaveError with the slave's error text or crash report once
    // the error file holds one; returns otherwise. Reads at most
    // SSlaveLimits::maxErrorFileBytes and says so when the file holds more.
    void checkForSlaveError();
    // For after a call into the slave failed: once the slave has ended or
    // closed its end of the pipe, waits for its end (killing it after
    // slaveEndWaitMs), ends what is left of its process group and throws
    // CSlaveError with its error text, or CNEBError naming its exit code
    // when it left none. Returns while the slave serves.
    void checkForSlaveFailure();
    // Runs `call`; when it throws a lumo::CException, a slave that has failed
    // is reported as checkForSlaveFailure does, otherwise the error passes.
    template <class F> auto callIntoSlave(F&& call) -> decltype(call());
    // callIntoSlave with every wait for the slave ending by the time limit,
    // counted from the outermost such call. Then the slave is asked where it
    // hangs, given hangReportWaitMs to answer and end, and ended; the call
    // throws CSlaveError when the slave left its hang report (the summary:
    // the line naming `what` and the limit, then the report's summary),
    // otherwise CNEBError with that line alone. An answer that
    // breaks the protocol or a bound (anything but the slave's own "Error:"
    // reply or a CNEBError) leaves the pipe out of step: the slave is ended
    // and the call throws CNEBError naming `what` and the fault.
    template <class F> auto callWithinLimit(const char* what, F&& call) -> decltype(call());
    // True while the slave runs and its end of the pipe is open.
    bool isServing();
    // Kills the slave's process group now and closes the pipe, so that any
    // wait for it ends at once; for one that no longer answers.
    void endSlave();
    // Ends the slave as releasing the handler does, and tells how it ended:
    // its cause is "ended by the master" when the master had to end it.
    // Nothing when no slave was started or its end could not be seen. No
    // call reaches the slave afterwards.
    std::optional<lumo::SProcessEnd> finish();

    // Starts the slave; the pipe server calls it once the pipe exists.
    bool pipeCreated() override;
    // Only the slave this handler started.
    bool isExpectedPeer(uint32_t processID) override;
    // A slave that ended before it connected is not waited for.
    bool isStillAwaited() override;

    // The text after the program's name that the slave is started with.
    lumo::String buildCommandLine();
    const lumo::P<lumo::CURI>& getErrorFile() const { return m_errorFile; }

    // "nebo_slave-%08x-%08x-%08x".
    static lumo::String formatPipeName(uint32_t processID, uint32_t threadID, uint32_t handlerNumber);
    // Throws the pipe layer's error when this process cannot make a slave's
    // pipe at all (its pipe place too long for the system's addresses, say),
    // so that a master can refuse at once rather than fail every plugin alike.
    static void checkPipePlace();

private:
    // Bounds the waits of the calls made while it lives, unless an outer
    // one does already.
    class CCallDeadline {
    public:
        explicit CCallDeadline(CSlaveHandler& handler);
        CCallDeadline(const CCallDeadline&) = delete;
        CCallDeadline& operator=(const CCallDeadline&) = delete;
        ~CCallDeadline();

    private:
        CSlaveHandler& m_handler;
        bool m_bOutermost;
    };

    void createSlave();
    void takeStartUpLog();
    void logStartUpLog(const lumo::String& text);
    // True when a launcher of the plugin forks the slave (CSlaveLaunchers).
    bool isLaunchable() const;
    // Has the plugin's launcher fork the slave, which is then connected;
    // false when no launcher serves, and the slave is to start as a program.
    bool startLaunchedSlave();
    // How a slave, or its launcher, starts.
    lumo::P<lumo::CProcessOptions> makeStartOptions(const CPluginFolders& folders) const;
    // The context's, else the one the plugin folders find.
    lumo::P<lumo::CURI> getSlaveProgram(const CPluginFolders& folders);
    // Ends a slave that did not connect and says why, with its own text
    // when it left one.
    CNEBError failedToConnect();
    // The error file's text as checkForSlaveError reads it.
    struct SErrorText {
        lumo::String text;
        lumo::String summary;
        lumo::String path;
    };
    // Nothing when the file is empty or gone. Throws CNEBError when it
    // cannot be opened.
    std::optional<SErrorText> readErrorText();
    // Asks the slave where it hangs, ends it and says which call took too
    // long, with the slave's hang report when it left one.
    [[noreturn]] void throwForTimeLimit(const char* what);
    // True when the slave ended by itself after the request.
    bool askForHangReport();
    // True for an error of a call while the slave still serves, unless the
    // slave itself answered with it.
    bool breaksTheProtocol(const lumo::CException& error);
    CNEBError endForBrokenAnswer(const char* what, const lumo::CException& error);
    // True when the slave ended within `waitMs`, or the time limit when
    // that is shorter.
    bool waitForSlaveEnd(int32_t waitMs = slaveEndWaitMs);
    // Ends the slave for good, however it behaves.
    void stopSlave() noexcept;
    // Keeps and logs the slave's end once it is seen.
    void recordEnd() noexcept;
    void releaseEmptyErrorFile() noexcept;

    int32_t m_priority;
    lumo::P<lumo::IProcess> m_process;
    lumo::P<lumo::IPipeServer> m_pipeServer;
    lumo::P<lumo::IPipeClient> m_connection;
    lumo::P<CNEBPluginClient> m_client;
    lumo::P<INEBContext> m_context;
    lumo::String m_pluginName;
    lumo::P<lumo::CURI> m_errorFile;
    // The plugin's error folder when a launcher may fork the slave, else null.
    lumo::P<lumo::CURI> m_launchersErrorFolder;
    lumo::String m_pipeName;
    const SSlaveLimits m_limits;
    // The outermost bounded call's deadline; 0 while none runs.
    int64_t m_callDeadline = 0;
    // Set once the master ended the slave: the failures that follow are its
    // own doing, not the slave's, and the reason already given stands.
    std::atomic<bool> m_bEndedByMaster{false};
    // Set when the master ended, or asked to end, a slave that still ran.
    std::atomic<bool> m_bKilledRunningSlave{false};
    std::optional<lumo::SProcessEnd> m_end;
    // Set for a slave started ahead: its start-up log waits in m_startUpLog
    // for handOver.
    bool m_bKeepsStartUpLog = false;
    int64_t m_heapAheadBytes = 0;
    lumo::String m_startUpLog;
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

template <class F> auto CSlaveHandler::callWithinLimit(const char* what, F&& call) -> decltype(call())
{
    const CCallDeadline deadline(*this);
    try {
        return callIntoSlave(std::forward<F>(call));
    } catch (const lumo::CTimeoutError&) {
        throwForTimeLimit(what);
    } catch (const CNEBError&) {
        throw;
    } catch (const lumo::CException& error) {
        if (breaksTheProtocol(error))
            throw endForBrokenAnswer(what, error);
        throw;
    }
}

} // namespace nebo::common
