#pragma once

#include "foundation/CObject.h"
#include "platform/ISystem.h"

namespace lumo::posix {

// The system service on POSIX. Files are named by "file" URIs with an empty
// or "localhost" host; relative references and URIs of other schemes or
// hosts name no local file: fileExists answers false for them, the other
// file operations throw CURITypeNotSupportedError (CURIFormatError for a
// path holding a zero character).
//
// "Read-only" is a file without write permission. Removing a name needs
// write permission on its folder, not on the file, so such a file is
// deleted like any other and its mode is never touched.
class CSystem : public CObject, public virtual ISystem {
public:
    // $TMPDIR when it names an existing folder, otherwise "/tmp".
    P<CURI> getTempDirectory() override;
    // These three throw CError when the system cannot tell.
    P<CURI> getExecutableDirectory() override;
    // Symbolic links resolved.
    P<CURI> getLibraryDirectory() override;
    P<CURI> getCurrentDirectory() override;

    // True for any existing entry that is not a folder (links followed).
    bool fileExists(const IURI& file) override;
    // A folder counts as no file. Other failures throw CError.
    int64_t getFileSize(const IURI& file) override;
    bool deleteFile(const IURI& file) override;

    // `folder` is a folder URI (its path ends in "/"); the name is resolved
    // against it, so a "/" in the prefix or suffix leads into a subfolder.
    // New files get mode 0600 and new folders 0700 (less the umask). A
    // failure that another name cannot cure (a missing folder, no
    // permission) ends the tries at once with the same error.
    P<CURI> createUniqueFile(const IURI& folder, const String& prefix, const String& suffix) override;
    P<CURI> createUniqueFolder(const IURI& folder, const String& prefix, const String& suffix) override;
};

} // namespace lumo::posix
