#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"

#include <cstdint>

namespace lumo {

// Questions about the machine and the file system, and the file operations
// the host needs. Folders are "file" URIs whose path ends in "/". Any
// thread may use it.
class ISystem : public virtual IBase {
public:
    // The user's folder for temporary files.
    virtual P<CURI> getTempDirectory() = 0;
    // The folder holding the running program.
    virtual P<CURI> getExecutableDirectory() = 0;
    // The folder holding the lumo library that this process loaded: the
    // anchor of an installed tree, wherever the running program lies.
    virtual P<CURI> getLibraryDirectory() = 0;
    virtual P<CURI> getCurrentDirectory() = 0;

    // False also for a URI that names no local file.
    virtual bool fileExists(const IURI& file) = 0;
    // Throws CFileNotFoundError when there is no such file.
    virtual int64_t getFileSize(const IURI& file) = 0;
    // True once the file is gone, false when there was none to delete; a
    // read-only file is deleted too. Throws CError
    // "lumo.CSystem.DeleteFileFailed" for any other failure.
    virtual bool deleteFile(const IURI& file) = 0;

    // A new empty file named prefix, eight upper-case hexadecimal digits and
    // suffix in `folder`. Two callers never receive the same file. Throws
    // CError "lumo.CSystem.CreateUniqueFileFailed" after 10000 tries.
    virtual P<CURI> createUniqueFile(const IURI& folder, const String& prefix, const String& suffix) = 0;
    // The same for a new folder; its URI ends in "/". Throws CError
    // "lumo.CSystem.CreateUniqueFolderFailed".
    virtual P<CURI> createUniqueFolder(const IURI& folder, const String& prefix, const String& suffix) = 0;
};

// The platform's system service, made anew on each call.
P<ISystem> createSystem();
// The process-wide system service.
P<ISystem> getSystem();

} // namespace lumo
