#pragma once

#include <algorithm>
#include <string>
#include <windows.h>

namespace lumo::win32 {

// Calls `fill(buffer, size)`, a system call that answers the length of the
// text it wrote, 0 on failure, or when the buffer is too small a length not
// below its size (the size it needs, or the buffer's size for
// GetModuleFileNameW, which cuts the text). Grows the buffer until the text
// fits, so that paths beyond MAX_PATH come whole. Answers false on failure,
// GetLastError() then telling why.
template <class Fill> bool readGrowingText(Fill fill, std::wstring& text)
{
    text.assign(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0)
            return false;
        if (length < text.size()) {
            text.resize(length);
            return true;
        }
        text.resize(std::max<size_t>(length + 1, text.size() * 2));
    }
}

} // namespace lumo::win32
