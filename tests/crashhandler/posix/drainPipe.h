#pragma once

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace crashhandler::test {

// What is waiting in the pipe's read end, without waiting for more.
inline std::string drainPipe(int descriptor)
{
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(descriptor, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

} // namespace crashhandler::test
