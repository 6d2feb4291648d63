#pragma once

#include <cstddef>
#include <sys/types.h>

namespace lumo::posix {

// Sends `count` bytes on the local socket `socket` with `descriptor` along
// (SCM_RIGHTS), as one sendmsg with MSG_NOSIGNAL and `flags`; its result,
// errno set as sendmsg sets it. Retries nothing.
ssize_t sendWithDescriptor(int socket, const void* bytes, size_t count, int descriptor, int flags);

} // namespace lumo::posix
