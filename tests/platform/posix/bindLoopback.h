#pragma once

#include "platform/posix/CFileDescriptor.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace lumo::posix {

// A socket of `type` (with flags) bound to a free port of 127.0.0.1, which it sets `port` to; 0 when it could not.
inline CFileDescriptor bindLoopback(int type, int& port)
{
    CFileDescriptor bound(socket(AF_INET, type | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(bind(bound.get(), reinterpret_cast<const sockaddr*>(&address), length), 0);
    EXPECT_EQ(getsockname(bound.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
    port = ntohs(address.sin_port);
    return bound;
}

} // namespace lumo::posix
