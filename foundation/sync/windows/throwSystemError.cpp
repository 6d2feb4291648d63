#include "foundation/sync/throwSystemError.h"

#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/windows/toWide.h"

#include <windows.h>

namespace lumo {

namespace {

bool meansNotFound(int errorCode) { return errorCode == ERROR_FILE_NOT_FOUND || errorCode == ERROR_PATH_NOT_FOUND; }

} // namespace

// errorCode is a GetLastError() value.
String getSystemErrorText(int errorCode)
{
    wchar_t buffer[512] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(errorCode), 0, buffer, sizeof buffer / sizeof buffer[0], nullptr);
    // The system ends its texts with a line break, sometimes after spaces.
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' || buffer[length - 1] == L' '))
        --length;
    if (length == 0)
        return String("Unknown error ") + String::fromInt(errorCode);
    return win32::fromWide(std::wstring(buffer, length));
}

void throwSystemError(const String& descriptionTemplate, int errorCode, const IURI* uri)
{
    if (meansNotFound(errorCode))
        throw CFileNotFoundError(uri);
    throw CError(descriptionTemplate.replace("%ERRORDESC%", getSystemErrorText(errorCode)));
}

} // namespace lumo
