#include "crashhandler/posix/CDescriptorSink.h"

#include <cerrno>
#include <unistd.h>

namespace crashhandler {

void CDescriptorSink::write(const char* text, size_t length) noexcept
{
    while (m_descriptor >= 0 && length > 0) {
        const ssize_t written = ::write(m_descriptor, text, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_descriptor = -1;
            return;
        }
        text += written;
        length -= static_cast<size_t>(written);
    }
}

} // namespace crashhandler
