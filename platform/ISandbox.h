#pragma once

#include "foundation/P.h"
#include "foundation/String.h"

#include <cstdint>
#include <vector>

namespace lumo {

// Confines the calling process to what a decoder of untrusted media needs:
// reading its one medium, its own program folder and the system's
// libraries; writing its error file; no network, no new programs, no
// processes of its own but threads, no signals to other processes. The
// configuration is collected first and applied at once by engage().
class ISandbox : public virtual IBase {
public:
    // Resource limits; 0 leaves a limit as the process has it.
    struct SLimits {
        uint64_t maxAddressSpace = 0; // bytes
        uint64_t maxFileSize = 0;     // bytes a written file may grow to
        uint64_t maxOpenFiles = 0;
    };

    // Native paths; an empty one, or one that does not exist when engage()
    // runs, grants nothing.
    // The medium, readable (not executable).
    virtual void setMedium(const String& path) = 0;
    // The file a crash report or error text goes into, writable (and
    // truncatable); it is not created.
    virtual void setErrorFile(const String& path) = 0;
    // The folder of the program and its plugins, readable and executable.
    virtual void setProgramFolder(const String& path) = 0;
    // The folder of the plugin being served, when it lies elsewhere: readable
    // and executable too, for the libraries and data the plugin loads late.
    virtual void setPluginFolder(const String& path) = 0;
    virtual void setLimits(const SLimits& limits) = 0;

    // Applies the configuration to the calling process, irreversibly; call
    // once, before the code to be confined runs. File confinement holds for
    // the calling thread and the threads it starts afterwards, the rest for
    // every thread. Never throws: returns, one line each, what could not be
    // applied (empty when everything holds), for the caller to log.
    virtual std::vector<String> engage() = 0;
};

// The platform's sandbox, configured to grant nothing yet.
P<ISandbox> createSandbox();

} // namespace lumo
