#pragma once

#include "foundation/CObject.h"
#include "host/master/CSlaveLauncher.h"
#include "platform/IProcess.h"
#include "platform/IProcessHandle.h"

#include <mutex>
#include <optional>

namespace nebo::common {

// A launcher's child as the master holds it: signals and the wait for its
// end go through a handle on the process (the master is not its parent);
// its exit status and cost are what its launcher, the parent, reports. The
// child can start no process, so terminate() ends it alone; it stays in its
// launcher's group, which ends with the launcher. Safe from any thread.
class CLaunchedProcess : public lumo::CObject, public virtual lumo::IProcess {
public:
    // A null `handle` stands for a child that ended before its master
    // could hold it: it counts as ended from the start.
    CLaunchedProcess(lumo::P<CSlaveLauncher> launcher, uint32_t number, lumo::P<lumo::IProcessHandle> handle,
                     uint32_t processID, int32_t priority);
    ~CLaunchedProcess() override;

    bool hasTerminated() override;
    bool waitForEnd(uint32_t ms) override;
    int32_t getExitCode() override;
    // The launcher's report, waited for up to CSlaveLauncher::endReportWaitMs;
    // without one, the end counts as "ended unobserved" with exit code -1.
    bool getEnd(lumo::SProcessEnd& end) override;
    // False: the child's priority is the one it started with.
    bool setPriority(int32_t priority) override;
    int32_t getPriority() override;
    void terminate() override;
    void requestHangReport() override;
    uint32_t getID() override;

private:
    lumo::P<CSlaveLauncher> m_launcher;
    uint32_t m_number;
    lumo::P<lumo::IProcessHandle> m_handle;
    uint32_t m_processID;
    int32_t m_priority;
    std::mutex m_mutex;
    std::optional<lumo::SProcessEnd> m_end;
};

} // namespace nebo::common
