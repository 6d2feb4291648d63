#include "platform/posix/sendWithDescriptor.h"

#include <cstring>
#include <sys/socket.h>

namespace lumo::posix {

ssize_t sendWithDescriptor(int socket, const void* bytes, size_t count, int descriptor, int flags)
{
    iovec part{const_cast<void*>(bytes), count};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &descriptor, sizeof descriptor);
    return ::sendmsg(socket, &message, MSG_NOSIGNAL | flags);
}

} // namespace lumo::posix
