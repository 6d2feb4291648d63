#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "foundation/sync/IMutex.h"
#include "host/master/CPluginAnswerFile.h"
#include "host/master/SLibraryFile.h"
#include "host/plugin/IPluginExtensions.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>

namespace nebo::common {

// What slaves said about plugin libraries (names, media types, extension
// lists by media types), kept for the process and in a CPluginAnswerFile
// between processes, so that a boxed master starts a slave only for a
// question no master asked before about the same files (SLibraryFile: a
// replaced file is asked anew). A failed question is not kept: the trouble
// may have passed by the next request.
//
// Thread-safe. Requests for one library wait for each other, so that one
// slave answers them all; requests for different libraries run side by side.
class CPluginAnswerCache : public lumo::CObject {
public:
    // Starts from the answers `file` holds, read at the first request, and
    // adds each new one to it.
    explicit CPluginAnswerCache(CPluginAnswerFile file = CPluginAnswerFile(""));

    // The name that `askSlave` gives for `library`; `askSlave` runs only
    // when no name for this very file is kept. Throws what `askSlave` throws.
    lumo::String getPluginName(const SLibraryFile& library, const std::function<lumo::String()>& askSlave);
    // Likewise the media types.
    int32_t getValidTypes(const SLibraryFile& library, const std::function<int32_t()>& askSlave);
    // Likewise the extensions for `nTypes`. The list is shared by every
    // caller: it is read, never changed. A null answer is not kept.
    lumo::P<IPluginExtensions> getValidExtensions(const SLibraryFile& library, int32_t nTypes,
                                                  const std::function<lumo::P<IPluginExtensions>()>& askSlave);
    // How many times a slave was asked so far; for tests.
    int32_t getQuestionCount() const { return m_questionCount; }

private:
    // One library's answers; lives as long as the cache.
    struct SAnswers {
        lumo::P<lumo::IMutex> mutex;
        CPluginAnswerFile::SRecord record;
        // The lists of `record` as handed out.
        std::map<int32_t, lumo::P<IPluginExtensions>> extensions;
    };

    SAnswers& answersFor(const SLibraryFile& library);
    // Keeps `answers` of `library` in the file too.
    void store(const SLibraryFile& library, const SAnswers& answers);

    CPluginAnswerFile m_file;
    lumo::P<lumo::IMutex> m_mutex;
    // What the file held at the first request.
    std::optional<CPluginAnswerFile::Records> m_stored;
    // Never shrinks: an entry is referred to after the cache's lock is left.
    std::map<SLibraryFile, SAnswers> m_answers;
    // Taken by one store at a time, so that this process's stores do not
    // undo each other.
    lumo::P<lumo::IMutex> m_fileMutex;
    std::atomic<int32_t> m_questionCount{0};
};

// The process's one cache, kept in the user's file
// (CPluginAnswerFile::userFilePath()), made on first use.
lumo::P<CPluginAnswerCache> getPluginAnswerCache();

} // namespace nebo::common
