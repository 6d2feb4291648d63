#pragma once

#include "host/master/SLibraryFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nebo::common {

// What slaves said about plugin libraries, kept in a file between processes.
// Each master replaces the file whole (a new file renamed over the old), so
// a reader sees one complete version, or at times none where the system
// removes the old file first; masters storing side by side may lose
// answers, never mix them.
//
// The file is read within maxFileBytes, maxRecords and isKeepable's bounds;
// one too long, truncated, corrupt, of another version or with a record out
// of bounds is taken as empty, and the next store replaces it. Nothing here
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
