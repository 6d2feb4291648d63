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
    // Writes the report of the fault to the standard error and into the
    // file at `reportPath`, created or emptied first. A file that cannot be
    // opened gets no report and is not complained about.
    virtual void handleCrash(const char* reportPath, const SExceptionPointers& pointers) noexcept = 0;

protected:
    virtual ~ICrashHandler() = default;
};

// A handler whose report starts with "<applicationName> <versionText>".
// The handler lives in static storage: there is one at a time, so destroy
// it before asking for the next. Texts beyond 63 bytes are cut.
ICrashHandler* createCrashHandler(const char* applicationName, const char* versionText) noexcept;

} // namespace crashhandler
