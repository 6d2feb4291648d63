#include "crashhandler/windows/openReportFile.h"

namespace crashhandler {

HANDLE openReportFile(const char* path) noexcept
{
    wchar_t widePath[4096];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath, 4096) == 0)
        return INVALID_HANDLE_VALUE;
    // Readers may look while it is written: the master waits for the end of
    // the process, not of the file.
    return CreateFileW(widePath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

} // namespace crashhandler
