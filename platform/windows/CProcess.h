#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "platform/CProcessOptions.h"
#include "platform/windows/IWin32Process.h"

#include <string>

namespace lumo::win32 {

// A program started with CreateProcessW, inside a job object of its own that
// it joins before it runs its first instruction; whatever it starts lands in
// the same job. Releasing the object closes both handles, which ends nothing.
//
// The arguments text is split at blanks (spaces and tabs; runs of them count
// as one) into words, as on every platform; the command line is the quoted
// program path followed by those words, each escaped so that the C
// runtime's parser of the program gives back exactly the word: no word holds
// a blank, and double quotes (with the backslashes before them) are escaped.
// A relative program path is taken from the caller's current folder, also
// when a working directory is given.
//
// The child inherits the caller's inheritable handles, unless the options
// limit it to the standard ones, and the caller's environment unless they
// give it one of its own.
//
// Priorities are priority classes: idle, below normal, normal, above normal,
// high, realtime. The first is set while the program is still suspended. A
// class the system does not grant (realtime without the privilege gives
// high) counts as not permitted and leaves the class as it was.
//
// The cost of an ended program is its own, not that of the programs it
// started: its peak working set and its processor time, as the system
// keeps them for as long as the handle is open.
//
// An ended program's cause is "exited with code N", N as getExitCode()
// gives it, or "ended by exception 0xC0000005" for a code of the system's
// warning or error statuses (0x8....... and 0xC....... outside the
// customer range), which is how a program ends on an exception it did not
// handle. terminate() ends the program with exit code 137, the code the
// same request leaves on POSIX, so that callers read one code everywhere.
//
// Thread-safe: the handles never change while the object lives.
class CProcess : public CObject, public virtual IWin32Process {
public:
    // The code of a program ended by terminate().
    static constexpr uint32_t terminatedExitCode = 137;

    // Throws CError "Error executing file '%FILE%': '%ERRORDESC%'." (localised)
    // when the program cannot be started, its working directory not entered
    // or its job not made. `options` may be null: the defaults. It is not
    // kept.
    CProcess(const std::wstring& programPath, const String& arguments, const std::wstring& workingDirectory,
             int32_t priority, const CProcessOptions* options = nullptr);
    ~CProcess() override;
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    bool hasTerminated() override;
    bool waitForEnd(uint32_t ms) override;
    int32_t getExitCode() override;
    bool getEnd(SProcessEnd& end) override;
    bool setPriority(int32_t priority) override;
    int32_t getPriority() override;
    // TerminateJobObject when the program was started in a process group
    // of its own (CProcessOptions), which also ends what it left behind
    // after its own end; TerminateProcess otherwise.
    void terminate() override;
    // Sets the event of crashhandler/windows/hangReportEvent.h; nothing for
    // a program that has none.
    void requestHangReport() override;
    uint32_t getID() override;
    HANDLE getProcessHandle() override;

private:
    HANDLE m_job = nullptr;
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
    bool m_bOwnGroup = false;
};

} // namespace lumo::win32
