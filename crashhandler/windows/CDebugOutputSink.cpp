#include "crashhandler/windows/CDebugOutputSink.h"

#include <cstring>
#include <windows.h>

namespace crashhandler {

void CDebugOutputSink::write(const char* text, size_t length) noexcept
{
    while (length > 0) {
        const size_t piece = length < sizeof m_piece - 1 ? length : sizeof m_piece - 1;
        std::memcpy(m_piece, text, piece);
        m_piece[piece] = '\0';
        OutputDebugStringA(m_piece);
        text += piece;
        length -= piece;
    }
}

} // namespace crashhandler
