#include "platform/posix/takePassedDescriptors.h"

#include <cstring>

namespace lumo::posix {

std::vector<CFileDescriptor> takePassedDescriptors(msghdr& message)
{
    std::vector<CFileDescriptor> descriptors;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
            continue;
        const size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (size_t i = 0; i < count; ++i) {
            int descriptor;
            std::memcpy(&descriptor, CMSG_DATA(header) + i * sizeof(int), sizeof descriptor);
            descriptors.emplace_back(descriptor);
        }
    }
    return descriptors;
}

} // namespace lumo::posix
