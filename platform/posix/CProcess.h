#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "foundation/sync/IMutex.h"
#include "platform/CProcessOptions.h"
#include "platform/posix/IPosixProcess.h"

#include <string>

namespace lumo::posix {

// A program started with posix_spawn, or with a clone into namespaces of its
// own when the options ask for them and the system permits. The child
// inherits the environment and the descriptors that are not marked
// close-on-exec, unless the options give it an environment of its own or
// only the standard descriptors.
//
// The arguments text is split at blanks (spaces and tabs; runs of them
// count as one) into the words that follow the program path; there is no
// quoting, so no word can hold a blank. A relative program path is taken from
// the caller's current folder, also when a working directory is given.
//
// Priorities are nice values: idle 19, below normal 5, normal 0, above
// normal -5, high -10, realtime -20. The priority is applied right after
// the start, so threads that the program makes at once may keep the
// caller's; a raise that the system does not permit leaves the caller's.
//
// A program killed by a signal ends with 128 plus the signal's number, as a
// shell reports it. Its cost is read as its status is seen, from the
// system's accounting of the ended process and the children it waited for. A program whose status was collected
// elsewhere (by a waitpid of its own, or with SIGCHLD ignored) counts as ended with -1.
//
// A program that leads a process group of its own stays unreaped after its
// end for as long as the object lives: its zombie keeps the group's number
// reserved, so that terminate() can end what is left of the group without
// ever reaching a stranger's group that took the number over.
//
// Releasing the object before the program's status has been collected
// hands the child to the process-wide reaper, so that it leaves no zombie
// behind; what is left of its group is then left alone.
class CProcess : public CObject, public virtual IPosixProcess {
public:
    // Throws CError "Error executing file '%FILE%': '%ERRORDESC%'." (localised)
    // when the program cannot be started, its working directory not entered.
    // `options` may be null: the defaults. It is not kept.
    CProcess(const std::string& programPath, const String& arguments, const std::string& workingDirectory,
             int32_t priority, const CProcessOptions* options = nullptr);
    ~CProcess() override;

    bool hasTerminated() override;
    bool waitForEnd(uint32_t ms) override;
    int32_t getExitCode() override;
    bool getEnd(SProcessEnd& end) override;
    bool setPriority(int32_t priority) override;
    int32_t getPriority() override;
    // SIGKILL, to the program's whole group when it leads one; the
    // program's exit code is then 137.
    void terminate() override;
    // hangReportSignal to the program itself, never to its group.
    void requestHangReport() override;
    uint32_t getID() override;
    pid_t getProcessID() override;

private:
    // True once the child's end is known; fills the end record then. Reaps
    // the child unless it leads a group of its own.
    bool collectStatus();

    P<IMutex> m_mutex;
    pid_t m_pid = 0;
    // The group the program leads, also as its session's leader; 0 when it
    // stays in the caller's.
    pid_t m_processGroup = 0;
    bool m_bTerminated = false;
    // Once set, the identity may name another process.
    bool m_bReaped = false;
    int32_t m_exitCode = -1;
    SProcessEnd m_end;
};

} // namespace lumo::posix
