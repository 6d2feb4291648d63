#pragma once

#include "host/master/SLibraryFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nebo::common {

// What slaves said about plugin libraries, kept in a file between
// processes, so that a master that starts knows the plugins its
// predecessors asked about. The file is everyone's to write: each master
// replaces it whole and at once (a new file renamed over the old one), so
// a reader sees one complete version (or, where the system removes the old
// file before renaming the new one, as Wine does, at times none), and many
// masters may store side by side; answers may then be lost, never mixed.
//
// The file is read with bounds (maxFileBytes, maxRecords, and the bounds of
// isKeepable) and is not trusted further: a file that is too long,
// truncated, corrupt, of another version, or holds a single record out of
// bounds is taken as empty, and the next store replaces it. Nothing here
// throws: a missing or read-only folder, a full disk or a path of "" keep
// nothing. Not locked: the caller serialises its own stores.
class CPluginAnswerFile {
public:
    static constexpr size_t maxFileBytes = 1 << 20;
    static constexpr size_t maxRecords = 256;
    static constexpr size_t maxExtensions = 4096;
    static constexpr size_t maxExtensionBytes = 32;
    static constexpr size_t maxPathBytes = 4096;

    // One library's answers; each is optional until a slave gave it.
    struct SRecord {
        std::string name; // empty: not known
        std::optional<int32_t> types;
        // By the media types asked for.
        std::map<int32_t, std::vector<std::string>> extensions;

        bool operator==(const SRecord& other) const;
    };
    using Records = std::map<SLibraryFile, SRecord>;

    // Keeps the answers in the file at `path`; "" keeps nothing.
    explicit CPluginAnswerFile(std::string path);

    // The user's file: plugin-answers.json in the folder nebo of
    // $XDG_CACHE_HOME, else of ~/.cache, else of %LOCALAPPDATA%; "" when
    // NEBO_CACHE is "off" or none of them is set.
    static std::string userFilePath();

    // True when the file can hold `record` of `library` as it is: a usable
    // plugin name, extensions of 1 to maxExtensionBytes printable
    // characters, at most maxExtensions per list.
    static bool isKeepable(const SLibraryFile& library, const SRecord& record);

    const std::string& path() const { return m_path; }
    // Every record of the file, none when it cannot be trusted whole.
    Records read() const;
    // Puts `record` in place of what the file held for `library`, beside
    // its other records (a file that holds maxRecords others starts afresh),
    // unless the record is not keepable.
    void store(const SLibraryFile& library, const SRecord& record) const;

private:
    std::string m_path;
};

} // namespace nebo::common
