#pragma once

#include <string>
#include <vector>

namespace lumo::posix {

// The system calls a confined process may not make, as a seccomp filter
// that allows everything else. Refused calls fail with an error a library
// can handle (EACCES for sockets, ENOSYS for clone3, EPERM for the rest);
// execve and execveat raise SIGSYS instead, so that the process ends with a
// report naming the call. Threads stay allowed, and so do signals to the
// process itself and its threads (raise, abort, the hang report's
// requests). Not thread-safe; used once.
class CSeccompFilter {
public:
    // Loads the filter into every thread of the calling process, which
    // must already have no_new_privs. Returns what it could not apply, one
    // line each; empty when the whole filter holds.
    static std::vector<std::string> load();
};

} // namespace lumo::posix
