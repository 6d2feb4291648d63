#pragma once

#include <seccomp.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lumo::posix {

// The system calls a confined process may make, as a seccomp filter that
// refuses every other: the calls a decoder and its libraries need to read,
// decode, think in threads and hand back what they made, some only with
// arguments that keep them harmless (threads but no processes, signals to
// the process itself only, no executable memory but mapped libraries, the
// terminal and device requests of ioctl not at all). The list, and how to
// extend it for a new plugin, is in CSeccompFilter.cpp.
//
// A refused call fails as if this kernel had no such call (ENOSYS), which
// libraries handle by falling back or failing; some fail as their own
// refusal would (EACCES for sockets and executable memory, EPERM for new
// processes and signals to others). Calls only an attack makes
// (crashhandler/posix/trappedSystemCalls.h) raise SIGSYS instead, so that
// the process ends with a report naming the call. Not thread-safe; used
// once.
class CSeccompFilter {
public:
    // Whose filter: a slave's, or a launcher's, which also forks its
    // children (never into namespaces), waits for them, lets them lower
    // their priority and load the slave's filter on top of its own.
    enum class EProfile { slave, launcher };

    // Loads the filter into every thread of the calling process, which
    // must already have no_new_privs. Returns what it could not apply, one
    // line each; empty when the whole filter holds.
    static std::vector<std::string> load(EProfile profile = EProfile::slave);
    // The filter of `profile` for the process `ownProcess`, unloaded, to
    // be released with seccomp_release; null when it cannot be built. What
    // it leaves out goes to `gaps`.
    static scmp_filter_ctx build(EProfile profile, pid_t ownProcess, std::vector<std::string>& gaps);

    // How many system calls the filter lets through, at least in part.
    static size_t countAllowedCalls();
};

} // namespace lumo::posix
