#pragma once

#include "platform/posix/CFileDescriptor.h"

#include <cstdint>
#include <linux/landlock.h>
#include <string>

namespace lumo::posix {

// A Landlock ruleset of the rights the running kernel's Landlock ABI knows:
// every file access it handles is denied but beneath the paths allowed
// here; TCP bind and connect are denied (ABI 4 and up); abstract unix
// sockets and signals are scoped to the confined processes (ABI 6 and up).
// Rulesets stack: a later one can only narrow what an earlier one left.
// Not thread-safe; used once, by the thread that restricts itself.
class CLandlockRuleset {
public:
    // LANDLOCK_ACCESS_FS_TRUNCATE (ABI 3), which older headers lack.
    static constexpr uint64_t truncateRight = 1ULL << 14;
    // Rights of allow(), cut to what the path and the ABI admit.
    static constexpr uint64_t readRights = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
    static constexpr uint64_t executeRights = LANDLOCK_ACCESS_FS_EXECUTE;
    static constexpr uint64_t writeRights = LANDLOCK_ACCESS_FS_WRITE_FILE | truncateRight;

    // Negotiates the ABI and creates the ruleset; getAbi() is 0 when the
    // kernel has no Landlock (or it is disabled). Reading files and folders
    // is handled unless `bReadsLeftOpen`, which leaves reads to a later
    // ruleset.
    explicit CLandlockRuleset(bool bReadsLeftOpen = false);

    int getAbi() const { return m_abi; }
    // Allows `rights` on the file at `path` or beneath the folder there.
    // Returns why it could not: empty when it did, or when the path does
    // not exist (nothing to allow).
    std::string allow(const std::string& path, uint64_t rights);
    // Restricts the calling thread and its future threads; needs
    // no_new_privs. Returns why it failed, empty on success.
    std::string restrictSelf();

private:
    int m_abi = 0;
    uint64_t m_handledFileRights = 0;
    CFileDescriptor m_ruleset;
};

} // namespace lumo::posix
