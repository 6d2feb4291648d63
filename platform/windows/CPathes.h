#pragma once

#include "foundation/CObject.h"
#include "platform/IPathes.h"

#include <string>

namespace lumo::win32 {

// The path service on Windows, where native paths are UTF-16 and separated
// by "\" (the system takes "/" as well).
//
// A "file" URI maps to a native path so:
// - "file:///C:/a%20b/c" is the drive path "C:\a b\c"; a path without a
//   drive letter ("file:///a/b") stays rooted, "\a\b", on the current drive.
// - A host other than empty or "localhost" names a network share:
//   "file://server/share/x" is "\\server\share\x".
// - A path of 240 characters or more takes the "\\?\" (or "\\?\UNC\") form,
//   under which the system calls accept it beyond MAX_PATH.
class CPathes : public CObject, public virtual IPathes {
public:
    // A relative reference (no scheme) gives its decoded path with "\" for
    // "/", which the system takes from the current folder. Throws
    // CURIFormatError when the path holds a zero character, which would cut
    // it short, and CException "Error: Windows path is longer than MAX_PATH
    // and the limit cannot be circumvented (path='...')." for a long path
    // that has neither a drive letter nor a host.
    String getNativePath(const IURI& uri, bool bOtherSchemesAsText) override;
    // CURI::fromNativePath: removes a leading "\\?\" or "\\?\UNC\" and
    // resolves a relative path, "." and ".." against the current folder.
    // Throws CInvalidArgError for an empty path or one holding a zero
    // character, CError when the system cannot make the path absolute.
    P<CURI> getURIOfNativePath(const String& path) override;
    // Leaves references to unset variables as written. Throws CError "error
    // expanding environmental string" when the system refuses the text.
    String expandEnvironmentStrings(const String& text) override;
    // The well-known folders are those of APPDATA, LOCALAPPDATA, USERPROFILE,
    // ALLUSERSPROFILE, ProgramFiles, SystemRoot and SystemDrive: the longest
    // that the text equals or goes on below (compared ignoring case) is
    // replaced by %NAME%. Any other text comes back unchanged. Never throws.
    String unexpandEnvironmentStrings(const String& text) override;

    // The path that the system calls are given for a "file" URI: its
    // IURI::getNativePath, in the long form when it needs one. Throws what
    // that throws (CURITypeNotSupportedError for a URI of another scheme or
    // a relative one), and what getNativePath throws for a long path.
    static std::wstring systemPathOf(const IURI& uri);
    // The path that the system calls are given for a native path: "\" for
    // "/", and the long form when it needs one and has a drive letter or a
    // host; a relative path stays as it is. Never throws.
    static std::wstring systemPathOf(const String& nativePath);
    // The URI of a native folder path, ending in "/". Throws as
    // getURIOfNativePath.
    static P<CURI> folderURIOf(std::wstring path);
};

} // namespace lumo::win32
