#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "foundation/sync/IMutex.h"
#include "host/IPluginExtensions.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>

namespace nebo::common {

// What slaves said about plugin libraries, their names and their extension
// lists by media types, kept for the whole process, so that a boxed master
// starts at most one slave per library and question however many plugin
// handlers it makes (a batch of media makes one per medium). A library is
// known by its file's path, size and modification time: a replaced file is
// asked anew.
//
// Only answers are kept: a question that failed (the slave failed, timed out
// or gave an unusable answer) is asked again by the next request, as the
// trouble may have passed.
//
// Thread-safe. Requests for one library wait for each other, so that one
// slave answers them all; requests for different libraries run side by side.
class CPluginAnswerCache : public lumo::CObject {
public:
    struct SLibraryFile {
        std::string path;
        uintmax_t size = 0;
        // In the ticks of the file system's clock.
        int64_t modified = 0;

        bool operator<(const SLibraryFile& other) const
        {
            return std::tie(path, size, modified) < std::tie(other.path, other.size, other.modified);
        }
    };

    CPluginAnswerCache();

    // The name that `askSlave` gives for `library`; `askSlave` runs only
    // when no name for this very file is kept. Throws what `askSlave` throws.
    lumo::String getPluginName(const SLibraryFile& library, const std::function<lumo::String()>& askSlave);
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
        // Empty until a slave named the plugin.
        lumo::String name;
        std::map<int32_t, lumo::P<IPluginExtensions>> extensions;
    };

    SAnswers& answersFor(const SLibraryFile& library);

    lumo::P<lumo::IMutex> m_mutex;
    // Never shrinks: an entry is referred to after the cache's lock is left.
    std::map<SLibraryFile, SAnswers> m_answers;
    std::atomic<int32_t> m_questionCount{0};
};

// The process's one cache, made on first use.
lumo::P<CPluginAnswerCache> getPluginAnswerCache();

} // namespace nebo::common
