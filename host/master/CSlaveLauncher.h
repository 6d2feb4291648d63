#pragma once

#include "foundation/CObject.h"
#include "foundation/CURI.h"
#include "platform/CProcessOptions.h"
#include "platform/ILauncherChannel.h"
#include "platform/IPipeServer.h"
#include "platform/IProcess.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace nebo::common {

// The master's end of one launcher: nebo_slave started as a launcher for one
// plugin (see slave/CLauncher.h) on a control pipe only it may connect to,
// and the children it forks on request. Everything it sends is checked
// (lumo::ILauncherChannel); a launcher that lies, ends or does not answer in
// time is ended, and CSlaveLaunchers replaces it.
//
// Its children hold the object. Releasing it closes the control pipe, gives
// the launcher endWaitMs to end, then kills it and every child it still has.
// Thread-safe.
class CSlaveLauncher : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    // After so many children the launcher is replaced, so that no address
    // layout is shared by more of them. A child that ends with anything but
    // code 0 (a crash, a hang report, a kill) retires its launcher at once:
    // guessing a layout or a stack-protector secret takes many crashes, and
    // each now meets a fresh one.
    static constexpr uint32_t maxChildren = 1000;
    // A launcher idle for so long is replaced at the next request.
    static constexpr int64_t maxIdleMs = 60000;
    static constexpr int32_t endWaitMs = 1000;
    // How long a child's end report may take after the child ended.
    static constexpr int32_t endReportWaitMs = 1000;

    // Starts the launcher with `options` (as a slave would start) and waits
    // up to `timeoutMs` for it to connect. Its error file lies in
    // `errorFolder`. Throws the process layer's errors, the pipe's, and
    // CNEBError when the launcher does not connect in time.
    CSlaveLauncher(const lumo::P<lumo::CURI>& program, const lumo::String& pluginName,
                   const lumo::P<lumo::CURI>& errorFolder, const lumo::CProcessOptions& options, int32_t logLevel,
                   int32_t timeoutMs);
    ~CSlaveLauncher() override;

    // A launcher's child as its master holds it: the process, and the
    // master's end of the pipe whose other end only the child holds.
    struct SChild {
        lumo::P<lumo::IProcess> process;
        lumo::P<lumo::IPipeClient> pipe;
    };

    // A child started with the slave command line `arguments`, its pipe
    // handed to it with the request. Nothing when the launcher failed
    // meanwhile (isUsable() is false from then on).
    std::optional<SChild> startChild(const lumo::String& arguments, int32_t priority, int64_t heapAheadBytes,
                                     int32_t timeoutMs);
    // True while the launcher runs, has kept to the protocol, had no child
    // end badly, and is neither used up (maxChildren) nor idle too long
    // (maxIdleMs).
    bool isUsable();
    // What the launcher left in its error file, empty when nothing.
    lumo::String readFailure();

    // For the children's process objects: the end of child `number` as its
    // launcher reported it, waiting until `deadlineTick`; false when it
    // does not come.
    bool waitForChildEnd(uint32_t number, int64_t deadlineTick, lumo::SProcessEnd& end);
    // The child's process object is gone: its report is no longer wanted.
    void forgetChild(uint32_t number);
    // Ends the launcher and its children at once.
    void end() noexcept;

    bool pipeCreated() override;
    bool isExpectedPeer(uint32_t processID) override;
    bool isStillAwaited() override;

private:
    // Takes one report into the tables, waiting until the deadline; false
    // when none came. Ends the launcher when it breaks the protocol.
    bool takeReport(int64_t deadlineTick);
    // True once the launcher reported child `number`'s end, waiting for
    // the report until the deadline. With the mutex held.
    bool hasEnded(uint32_t number, int64_t deadlineTick);
    void breakOff() noexcept;
    void removeEmptyErrorFile() noexcept;

    std::mutex m_mutex;
    lumo::P<lumo::CURI> m_program;
    lumo::String m_arguments;
    lumo::CProcessOptions m_options;
    lumo::P<lumo::CURI> m_errorFile;
    lumo::P<lumo::IProcess> m_process;
    lumo::P<lumo::IPipeServer> m_server;
    lumo::P<lumo::IPipeClient> m_connection;
    lumo::P<lumo::ILauncherChannel> m_channel;
    bool m_bBroken = false;
    // A child of this launcher ended with a code other than 0.
    bool m_bRetired = false;
    uint32_t m_nextNumber = 0;
    uint32_t m_childCount = 0;
    int64_t m_lastUse;
    // Requested and not yet reported ended; a report on any other number
    // is a lie.
    std::set<uint32_t> m_live;
    std::map<uint32_t, uint32_t> m_started;
    std::set<uint32_t> m_failed;
    std::map<uint32_t, lumo::SProcessEnd> m_ended;
    // Live children whose process objects are gone: their ends are not kept.
    std::set<uint32_t> m_forgotten;
};

} // namespace nebo::common
