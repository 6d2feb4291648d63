#pragma once

#include "foundation/IURI.h"
#include "foundation/P.h"
#include "host/plugin/ILogManager.h"
#include "platform/ISandbox.h"

#include <cstdint>
#include <string>

namespace nebo::common {

// Confines the slave in two steps. Before the plugin's library is loaded
// (its static initialisers are plugin code too): no privileges, no
// programs or processes of its own, no signals to other processes, no
// network, no writes but to its error file, the resource limits. Before
// the plugin sees its medium: no reads but of the medium, its own folder,
// its plugin's folder and the system's libraries.
// The log says once, at level 2, which layers are in force; what cannot be
// applied is logged as a warning (level 1).
//
// On by default. NEBO_SANDBOX=off in the environment turns it off, which
// the log tells as an error (level 0) at once. NEBO_SLAVE_MAX_ADDRESS_SPACE
// sets the address-space limit in bytes.
class CSlaveConfinement {
public:
    static constexpr uint64_t defaultMaxAddressSpace = 4ULL << 30;
    // Far beyond an error text or a crash report; a runaway writer ends
    // with SIGXFSZ instead of filling the disk.
    static constexpr uint64_t maxFileSize = 64ULL << 20;
    // A decoder keeps a handful of files open; a leaking one stops here.
    static constexpr uint64_t maxOpenFiles = 256;

    // The address-space limit that confinement will set: the master's
    // NEBO_SLAVE_MAX_ADDRESS_SPACE, or the default when it sets none.
    static uint64_t getMaxAddressSpace();

    // Reads the environment; `pluginFolder` (native, may be empty) is where
    // the served plugin is loaded from; `log` takes the entries about
    // confinement. A launcher (`bLauncher`) passes the folder of its
    // children's error files as `errorFilePath`, and its first step lets
    // it fork them (see lumo::ISandbox::setForksChildren).
    CSlaveConfinement(std::string errorFilePath, std::string pluginFolder, lumo::P<ILogManager> log,
                      bool bLauncher = false);

    // The first step; call once, after the pipe to the master is connected
    // and before the plugin's library is loaded. Throws nothing but what
    // logging throws.
    void confineProcess();
    // The second step, on the first call, after confineProcess(). Later
    // calls change nothing: the first medium stays the only one readable.
    // Throws nothing but what logging throws.
    void engageFor(const lumo::IURI& medium);
    // In a launcher's child, after its pipe is connected and before it
    // serves: the slave's filter on top of the launcher's, and from now on
    // `errorFilePath` is the one file the second step leaves writable.
    // Throws nothing but what logging throws.
    void confineChild(const std::string& errorFilePath);

private:
    void logGaps(const std::vector<lumo::String>& gaps) const;
    void logLayers() const;

    lumo::P<ILogManager> m_log;
    lumo::P<lumo::ISandbox> m_sandbox;
    bool m_bEnabled;
    bool m_bFilesConfined = false;
};

} // namespace nebo::common
