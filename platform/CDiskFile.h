#pragma once

#include "foundation/IURI.h"
#include "foundation/P.h"

#include <cstdint>

namespace lumo {

// One open file of the disk, as the system's handle, for the disk streams;
// closed with the object. Not safe to share between threads: the streams
// lock around every call. Every failure throws CFileNotFoundError for a
// missing file, CFileAccessDeniedError when the system refuses access,
// CURITypeNotSupportedError for a URI that names no local file, CError
// naming the URI for any other (a folder, say). The platform's backend
// defines what touches the system.
class CDiskFile {
public:
    enum class EMode {
        read,
        // The file is made, or emptied when it exists.
        write,
        // The file is made when missing and keeps its bytes otherwise.
        readWrite,
    };

    // Opens the file that `uri` names; `uri` must not be null.
    CDiskFile(const P<IURI>& uri, EMode mode);
    ~CDiskFile();
    CDiskFile(const CDiskFile&) = delete;
    CDiskFile& operator=(const CDiskFile&) = delete;

    // Only a file of the disk has a size that tells where its end is; a pipe
    // or a terminal has not.
    bool isSeekable() const { return m_bSeekable; }
    bool isOpen() const { return m_handle != closedHandle; }
    // Closes at once; does nothing when closed.
    void close();

    // What one system read gives: 0 at the end; fewer bytes than asked also
    // when a file that cannot seek has no more yet.
    int32_t readSome(void* buffer, int32_t count);
    // Writes at least one byte and says how many.
    int32_t writeSome(const void* data, int32_t count);
    int64_t getSize();
    // The caller keeps `position` inside the file.
    void seekTo(int64_t position);
    // What seeking in a file that cannot seek throws.
    [[noreturn]] void throwNotSeekable() const;

private:
    // The system's error `errorCode` while doing `action` to the file.
    [[noreturn]] void throwError(const char* action, int errorCode) const;
    // Whether the system's error says that access was refused.
    static bool meansAccessDenied(int errorCode);

    static constexpr intptr_t closedHandle = -1;

    P<IURI> m_uri;
    // A descriptor or a handle, as the system gives it.
    intptr_t m_handle = closedHandle;
    bool m_bSeekable = false;
};

} // namespace lumo
