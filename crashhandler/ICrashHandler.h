#pragma once

namespace crashhandler {

// The platform's description of a fault, as its crash hook receives it.
struct SExceptionPointers;

// Turns a fault into a crash report. Made for one crash: created inside the
// crash filter, used once and destroyed there. It touches neither the heap
// nor a lock, so that a corrupt heap or a lock held by the faulting thread
// cannot stop the report, and it throws nothing.
class ICrashHandler {
public:
    // Ends the handler; the pointer is invalid afterwards.
    virtual void destroy() noexcept = 0;
    // Writes the report of the fault, whole, into the file at `reportPath`,
    // created or emptied first; a file that cannot be opened gets no report
    // and is not complained about. Only then, when `bDebugCopy`, a copy goes
    // to the debug output, as far as that takes it without waiting: a dying
    // process must never block on a reader that does not read.
    virtual void handleCrash(const char* reportPath, const SExceptionPointers& pointers, bool bDebugCopy) noexcept = 0;

protected:
    virtual ~ICrashHandler() = default;
};

// A handler whose report starts with "<applicationName> <versionText>".
// The handler lives in static storage: there is one at a time, so destroy
// it before asking for the next. Texts beyond 63 bytes are cut.
ICrashHandler* createCrashHandler(const char* applicationName, const char* versionText) noexcept;

} // namespace crashhandler
