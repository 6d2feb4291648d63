#include "crashhandler/windows/CHandleSink.h"

namespace crashhandler {

void CHandleSink::write(const char* text, size_t length) noexcept
{
    while (m_file != INVALID_HANDLE_VALUE && length > 0) {
        // A report is far below 4 GB; the piece only keeps the count a DWORD.
        const DWORD piece = length < 0x10000 ? static_cast<DWORD>(length) : 0x10000;
        DWORD written = 0;
        if (!WriteFile(m_file, text, piece, &written, nullptr) || written == 0) {
            m_file = INVALID_HANDLE_VALUE;
            return;
        }
        text += written;
        length -= written;
    }
}

} // namespace crashhandler
