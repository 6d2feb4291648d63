#include "crashhandler/posix/CDescriptorSink.h"

#include <cerrno>
#include <unistd.h>

namespace crashhandler {

namespace {

void writeAll(int descriptor, const char* text, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(descriptor, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        text += written;
        length -= static_cast<size_t>(written);
    }
}

} // namespace

void CDescriptorSink::write(const char* text, size_t length) noexcept
{
    for (int descriptor : m_descriptors) {
        if (descriptor >= 0)
            writeAll(descriptor, text, length);
    }
}

} // namespace crashhandler
