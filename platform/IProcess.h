#pragma once

#include "foundation/IBase.h"
#include "foundation/String.h"

#include <cstdint>

namespace lumo {

// How a program ended and what it cost: its own use and that of the
// children it waited for.
struct SProcessEnd {
    // As IProcess::getExitCode().
    int32_t exitCode = -1;
    // In words, such as "exited with code 3" or "killed by signal 9 (SIGKILL)".
    String cause;
    // The most physical memory it held at once.
    int64_t peakResidentBytes = 0;
    // Processor time, user and system.
    int64_t cpuTimeMs = 0;
};

// A program started by a process factory. Releasing the object neither waits
// for the program nor ends it. Safe from any thread.
class IProcess : public virtual IBase {
public:
    // The priority scale of every process operation. Any other value counts
    // as priorityNormal.
    static constexpr int32_t priorityIdle = -20;
    static constexpr int32_t priorityBelowNormal = -10;
    static constexpr int32_t priorityNormal = 0;
    static constexpr int32_t priorityAboveNormal = 10;
    static constexpr int32_t priorityHigh = 20;
    static constexpr int32_t priorityRealtime = 30;

    virtual bool hasTerminated() = 0;
    // True once the program has ended, waiting at most `ms` milliseconds for
    // it; wakes as the program ends rather than at the end of a period.
    virtual bool waitForEnd(uint32_t ms) = 0;
    // -1 while the program runs; afterwards the code it ended with.
    virtual int32_t getExitCode() = 0;
    // False while the program runs; afterwards fills `end`. A program whose
    // status was collected elsewhere reports no cost.
    virtual bool getEnd(SProcessEnd& end) = 0;
    // True when the program now runs at that priority. A priority the system
    // does not permit leaves the program as it is and gives false.
    virtual bool setPriority(int32_t priority) = 0;
    // The program's place on the scale; a priority between two steps reads
    // as priorityNormal. Throws CError "getProcessPriority failed. Maybe the
    // process isn't running anymore?" once the program has ended.
    virtual int32_t getPriority() = 0;
    // Ends the program at once, without giving it a chance to clean up;
    // nothing once it has ended. Returns without waiting: hasTerminated()
    // turns true shortly after. For a program that no longer answers. A
    // program started in a process group of its own (CProcessOptions) takes
    // the whole group along, also once it has ended itself.
    virtual void terminate() = 0;
    // Asks the program to report where it hangs and to end itself: the
    // platform's request goes to the program alone, not to its group (on
    // POSIX the signal of crashhandler/posix/hangReportSignal.h, which ends
    // a program that does not handle it). Returns without waiting; nothing once the
    // program has ended. Whether and when the program ends is its own
    // doing: follow with terminate() for one that does not.
    virtual void requestHangReport() = 0;
    // The system's identity of the program, in the form getCurrentProcessID()
    // and IPipeServer::IPipeCreatedListener::isExpectedPeer use. Once the
    // program has ended it may name another process.
    virtual uint32_t getID() = 0;
};

// The system's identity of the calling process.
uint32_t getCurrentProcessID();

} // namespace lumo
