#pragma once

#include "foundation/CObject.h"
#include "platform/ISystem.h"

namespace lumo {

// The platform's system service. Files are named by "file" URIs that name
// local files as the platform maps them to native paths (nativeFilePath.h;
// on Windows also the long form beyond MAX_PATH); relative references and
// URIs of other schemes name no local file: fileExists answers false for
// them, the other file operations throw CURITypeNotSupportedError
// (CURIFormatError for a path holding a zero character). The backend
// defines what touches the system.
class CSystem : public CObject, public virtual ISystem {
public:
    // These four throw CError when the system cannot tell. POSIX: the
    // temporary folder is $TMPDIR when it names an existing folder,
    // otherwise "/tmp"; the library's folder has its links resolved.
    // Windows: the library's folder is that of the module (DLL or program)
    // that holds this code.
    P<CURI> getTempDirectory() override;
    P<CURI> getExecutableDirectory() override;
    P<CURI> getLibraryDirectory() override;
    P<CURI> getCurrentDirectory() override;

    // True for any existing entry that is not a folder (links followed).
    bool fileExists(const IURI& file) override;
    // A folder counts as no file. Other failures throw CError.
    int64_t getFileSize(const IURI& file) override;
    // POSIX removes the name with write permission on its folder alone, so
    // a file without write permission goes like any other and its mode is
    // never touched. Windows takes a read-only file's attribute away first
    // and gives it back when the delete fails anyway; a folder is refused
    // with CError.
    bool deleteFile(const IURI& file) override;

    // `folder` is a folder URI (its path ends in "/"); the name is resolved
    // against it, so a "/" in the prefix or suffix leads into a subfolder.
    // Only a name that exists already is worth another try: any other
    // failure (a missing folder, no permission) ends the tries at once with
    // that error. On POSIX new files get mode 0600 and new folders 0700
    // (less the umask).
    P<CURI> createUniqueFile(const IURI& folder, const String& prefix, const String& suffix) override;
    P<CURI> createUniqueFolder(const IURI& folder, const String& prefix, const String& suffix) override;

private:
    // What the system tells of an existing entry.
    struct SEntry {
        bool bFolder = false;
        int64_t size = 0;
    };

    P<CURI> createUniqueEntry(const IURI& folder, const String& prefix, const String& suffix, bool bFolder);

    // The system's error `error` put into the localised `descriptionTemplate`
    // at %ERRORDESC%.
    [[noreturn]] static void throwFailure(const String& descriptionTemplate, int error);

    // The backend's system calls. Each returns 0 or the system's error code
    // and throws what IURI::getNativePath throws for a URI that names no
    // local file.
    static int readEntry(const IURI& file, SEntry& entry);
    static int removeFile(const IURI& file);
    // Makes an empty file or a folder that does not exist yet.
    static int createEntry(const IURI& entry, bool bFolder);
    // Whether the system's error says that the entry is missing, or that it
    // exists already.
    static bool meansNotFound(int error);
    static bool meansExists(int error);
};

} // namespace lumo
