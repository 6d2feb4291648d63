#pragma once

#include "foundation/P.h"
#include "foundation/String.h"

#include <cstdint>
#include <vector>

namespace lumo {

// Confines the calling process to what a decoder of untrusted media needs,
// in two steps: for the whole run before any code to be confined runs (the
// library that holds it included), then around the one medium once it is
// known. The configuration is collected first.
class ISandbox : public virtual IBase {
public:
    // Resource limits; 0 leaves a limit as the process has it.
    struct SLimits {
        uint64_t maxAddressSpace = 0; // bytes
        uint64_t maxFileSize = 0;     // bytes a written file may grow to
        uint64_t maxOpenFiles = 0;
    };

    // Native paths; an empty one, or one that does not exist when the step
    // that uses it runs, grants nothing.
    // The medium, readable (not executable); used by confineFiles().
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
    // Before confineProcess(): the process is a launcher, which forks
    // children that each confine themselves further with confineChild().
    // Its first step then also lets it fork (processes, never namespaces)
    // and wait for its children, which are handed their pipes and so make
    // no connection; its error file may be a folder, beneath which its
    // children's error files lie.
    virtual void setForksChildren(bool bForksChildren) = 0;

    // The first step, irreversible; call once: no privileges, no new
    // programs, no processes but threads, no signals to other processes, no
    // network (a connection made before stays), no writes but to the error
    // file, the limits. Never throws: returns, one line each, what could not
    // be applied (empty when everything holds), for the caller to log.
    virtual std::vector<String> confineProcess() = 0;
    // The second step, irreversible; call once, after the first: reads
    // only of the medium, the program's and plugin's folders and the
    // system's libraries. It holds for the calling thread and the threads
    // it starts afterwards. Never throws; returns what could not be applied.
    virtual std::vector<String> confineFiles() = 0;
    // In a launcher's child, before it serves: the first step's
    // system-call filter on top of the launcher's, so that the child can
    // make neither a process nor a connection. The error file set by then is
    // the one confineFiles() grants. Never throws; returns what could not
    // be applied.
    virtual std::vector<String> confineChild() = 0;
    // The layers in force after the steps taken so far, one line each.
    virtual std::vector<String> describeLayers() const = 0;
};

// The platform's sandbox, configured to grant nothing yet.
P<ISandbox> createSandbox();

} // namespace lumo
