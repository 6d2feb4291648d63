#pragma once

#include "platform/posix/CFileDescriptor.h"

#include <sys/socket.h>
#include <vector>

namespace lumo::posix {

// Every descriptor that came along with `message` (SCM_RIGHTS), owned at
// once, so that whatever the caller does not keep is closed.
std::vector<CFileDescriptor> takePassedDescriptors(msghdr& message);

} // namespace lumo::posix
