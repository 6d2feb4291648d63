#include "tools/probe/isWritableFolder.h"

#include "foundation/String.h"
#include "foundation/windows/toWide.h"

#include <windows.h>

namespace nebo::probe {

// Windows keeps no write permission bit on folders (their read-only
// attribute means something else), so the access check asks the folder's
// security descriptor for the right to add files, as the caller holds it.
bool isWritableFolder(const std::string& path)
{
    const std::wstring widePath = lumo::win32::toWide(lumo::String::fromUTF8(path));
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    HANDLE folder = CreateFileW(widePath.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(folder);
    return true;
}

} // namespace nebo::probe
