#pragma once

#include "foundation/CObject.h"
#include "platform/ISystem.h"

namespace lumo::win32 {

// The system service on Windows. Files are named by "file" URIs, mapped to
// native paths as CPathes does (drive letters, network shares, the long form
// beyond MAX_PATH); relative references and URIs of other schemes name no
// local file: fileExists answers false for them, the other file operations
// throw CURITypeNotSupportedError (CURIFormatError for a path holding a zero
// character).
class CSystem : public CObject, public virtual ISystem {
public:
    // These four throw CError when the system cannot tell.
    P<CURI> getTempDirectory() override;
    P<CURI> getExecutableDirectory() override;
    // The folder of the module (DLL or program) that holds this code.
    P<CURI> getLibraryDirectory() override;
    P<CURI> getCurrentDirectory() override;

    // True for any existing entry that is not a folder.
    bool fileExists(const IURI& file) override;
    // A folder counts as no file. Other failures throw CError.
    int64_t getFileSize(const IURI& file) override;
    // A read-only file loses that attribute first and gets it back when the
    // delete fails anyway; a folder is refused with CError.
    bool deleteFile(const IURI& file) override;

    // `folder` is a folder URI (its path ends in "/"); the name is resolved
    // against it, so a "/" in the prefix or suffix leads into a subfolder.
    // Only a name that exists already is worth another try: any other
    // failure (a missing folder, no permission) ends the tries at once with
    // that error.
    P<CURI> createUniqueFile(const IURI& folder, const String& prefix, const String& suffix) override;
    P<CURI> createUniqueFolder(const IURI& folder, const String& prefix, const String& suffix) override;
};

} // namespace lumo::win32
