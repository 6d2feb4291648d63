#pragma once

#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace lumo::posix {

// A descriptor that turns readable when the child `pid` ends; -1 with errno
// set when the system refuses one. The child must not have been reaped, or
// the identity could name another process. Through the system call itself:
// this C library's header declares its wrapper without C linkage.
inline int openProcessDescriptor(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

} // namespace lumo::posix
