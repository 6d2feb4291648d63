#pragma once

#include "platform/posix/CSeccompFilter.h"

#include <linux/filter.h>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lumo::posix {

// A system-call filter built once and loaded many times: a launcher builds
// its children's before it forks, and each child loads it with its own
// process identity in the rules that name the process, without building
// it again. Immutable once built; load() may run in any process that has
// a copy.
class CSeccompProgram {
public:
    // The filter of `profile`, as the kernel takes it; nothing when it
    // cannot be built whole, or when where the process identity lies in it
    // cannot be told for certain (loaders then build their own).
    static std::optional<CSeccompProgram> build(CSeccompFilter::EProfile profile);

    // Loads the filter into every thread of the calling process, which
    // must already have no_new_privs, with `ownProcess` as the process the
    // rules name. Returns what it could not apply, one line each.
    std::vector<std::string> load(pid_t ownProcess) const;

private:
    CSeccompProgram(std::vector<sock_filter> instructions, std::vector<size_t> processSlots);

    std::vector<sock_filter> m_instructions;
    // The instructions that compare with the process identity.
    std::vector<size_t> m_processSlots;
};

} // namespace lumo::posix
