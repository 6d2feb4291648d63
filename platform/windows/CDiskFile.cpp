#include "platform/CDiskFile.h"

#include "platform/windows/CPathes.h"

#include <windows.h>

namespace lumo {

namespace {

// Other streams and processes may read, write, rename and delete the file
// while it is open, as on systems where an open file never locks its name.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct SOpenMode {
    DWORD access;
    DWORD disposition;
};

SOpenMode openModeOf(CDiskFile::EMode mode)
{
    switch (mode) {
    case CDiskFile::EMode::read:
        return {GENERIC_READ, OPEN_EXISTING};
    case CDiskFile::EMode::write:
        return {GENERIC_WRITE, CREATE_ALWAYS};
    case CDiskFile::EMode::readWrite:
        break;
    }
    return {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS};
}

// The writing end of a pipe going away is the end of the data, not a failure.
bool meansEnd(DWORD errorCode) { return errorCode == ERROR_BROKEN_PIPE || errorCode == ERROR_HANDLE_EOF; }

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

HANDLE handleOf(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

} // namespace

CDiskFile::CDiskFile(const P<IURI>& uri, EMode mode) : m_uri(uri)
{
    const std::wstring path = win32::CPathes::systemPathOf(*uri);
    const SOpenMode open = openModeOf(mode);
    const HANDLE file =
        CreateFileW(path.c_str(), open.access, shareAll, nullptr, open.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD errorCode = GetLastError();
        // The system refuses to open a folder as "access denied"; it is no
        // file, whatever the rights.
        throwError("opening",
                   static_cast<int>(errorCode == ERROR_ACCESS_DENIED && isFolder(path) ? ERROR_DIRECTORY : errorCode));
    }
    m_handle = reinterpret_cast<intptr_t>(file);
    m_bSeekable = GetFileType(file) == FILE_TYPE_DISK;
}

CDiskFile::~CDiskFile() { close(); }

void CDiskFile::close()
{
    if (!isOpen())
        return;
    // The data went to the system with each write.
    CloseHandle(handleOf(m_handle));
    m_handle = closedHandle;
}

int32_t CDiskFile::readSome(void* buffer, int32_t count)
{
    DWORD got = 0;
    if (!ReadFile(handleOf(m_handle), buffer, static_cast<DWORD>(count), &got, nullptr)) {
        const DWORD errorCode = GetLastError();
        if (!meansEnd(errorCode))
            throwError("reading", static_cast<int>(errorCode));
        got = 0;
    }
    return static_cast<int32_t>(got);
}

int32_t CDiskFile::writeSome(const void* data, int32_t count)
{
    DWORD written = 0;
    if (!WriteFile(handleOf(m_handle), data, static_cast<DWORD>(count), &written, nullptr))
        throwError("writing", static_cast<int>(GetLastError()));
    return static_cast<int32_t>(written);
}

int64_t CDiskFile::getSize()
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handleOf(m_handle), &size))
        throwError("examining", static_cast<int>(GetLastError()));
    return size.QuadPart;
}

void CDiskFile::seekTo(int64_t position)
{
    LARGE_INTEGER distance{};
    distance.QuadPart = position;
    if (!SetFilePointerEx(handleOf(m_handle), distance, nullptr, FILE_BEGIN))
        throwError("seeking in", static_cast<int>(GetLastError()));
}

void CDiskFile::throwNotSeekable() const { throwError("seeking in", ERROR_SEEK_ON_DEVICE); }

bool CDiskFile::meansAccessDenied(int errorCode)
{
    return errorCode == ERROR_ACCESS_DENIED || errorCode == ERROR_WRITE_PROTECT;
}

} // namespace lumo
