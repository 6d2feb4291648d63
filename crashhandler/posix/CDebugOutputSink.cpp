#include "crashhandler/posix/CDebugOutputSink.h"

#include <cerrno>
#include <climits>
#include <poll.h>

namespace crashhandler {

void CDebugOutputSink::write(const char* text, size_t length) noexcept
{
    while (m_pieces.isWritable() && length > 0) {
        if (!takesAtOnce()) {
            m_pieces = CDescriptorSink(-1);
            return;
        }
        // A pipe with room for one piece of PIPE_BUF bytes takes it whole.
        const size_t piece = length < PIPE_BUF ? length : PIPE_BUF;
        m_pieces.write(text, piece);
        text += piece;
        length -= piece;
    }
}

bool CDebugOutputSink::takesAtOnce() const noexcept
{
    pollfd request = {m_descriptor, POLLOUT, 0};
    int ready;
    do
        ready = poll(&request, 1, 0);
    while (ready < 0 && errno == EINTR);
    // A pipe without reader reports an error: writing would raise SIGPIPE.
    return ready == 1 && (request.revents & POLLOUT) && !(request.revents & (POLLERR | POLLHUP | POLLNVAL));
}

} // namespace crashhandler
