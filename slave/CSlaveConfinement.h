#pragma once

#include "foundation/IURI.h"
#include "foundation/P.h"
#include "host/ILogManager.h"

#include <cstdint>
#include <string>

namespace nebo::common {

// Confines the slave before its plugin sees a byte of untrusted media:
// afterwards the process reads only the medium, its own folder, its
// plugin's folder and the system's libraries, writes only its error file,
// and can neither reach the network, start programs or processes, nor
// signal other processes.
// What cannot be applied is logged as a warning (level 1).
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
    // the served plugin was loaded from; `log` takes the entries about
    // confinement.
    CSlaveConfinement(std::string errorFilePath, std::string pluginFolder, lumo::P<ILogManager> log);

    // Confines the process to `medium` on the first call. Later calls
    // change nothing: the first medium stays the only one readable. Throws
    // nothing but what logging throws.
    void engageFor(const lumo::IURI& medium);

private:
    void engage(const lumo::IURI& medium);

    std::string m_errorFilePath;
    std::string m_pluginFolder;
    lumo::P<ILogManager> m_log;
    bool m_bEnabled;
    bool m_bEngaged = false;
};

} // namespace nebo::common
