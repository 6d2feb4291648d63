#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "platform/IMutex.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>

namespace nebo::common {

// The plugin names that slaves gave for plugin libraries, kept for the whole
// process, so that a boxed master starts at most one slave per library
// however many plugin handlers it makes. A library is known by its file's
// path, size and modification time: a replaced file is asked anew.
//
// Only names are kept: a question that failed (the slave failed, timed out
// or gave an unusable name) is asked again by the next request, as the
// trouble may have passed.
//
// Thread-safe. Requests for one library wait for each other, so that one
// slave answers them all; requests for different libraries run side by side.
class CPluginNameCache : public lumo::CObject {
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

    CPluginNameCache();

    // The name that `askSlave` gives for `library`; `askSlave` runs only
    // when no name for this very file is kept. Throws what `askSlave` throws.
    lumo::String getPluginName(const SLibraryFile& library, const std::function<lumo::String()>& askSlave);
    // How many times a slave was asked so far; for tests.
    int32_t getQuestionCount() const { return m_questionCount; }

private:
    // One library's answer; lives as long as the cache.
    struct SAnswer {
        lumo::P<lumo::IMutex> mutex;
        // Empty until a slave named the plugin.
        lumo::String name;
    };

    SAnswer& answerFor(const SLibraryFile& library);

    lumo::P<lumo::IMutex> m_mutex;
    // Never shrinks: an entry is referred to after the cache's lock is left.
    std::map<SLibraryFile, SAnswer> m_answers;
    std::atomic<int32_t> m_questionCount{0};
};

// The process's one cache, made on first use.
lumo::P<CPluginNameCache> getPluginNameCache();

} // namespace nebo::common
