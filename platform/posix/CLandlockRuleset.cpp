#include "platform/posix/CLandlockRuleset.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

// The distribution's header may predate the ABI of the running kernel;
// these are the kernel's values of what it lacks.
constexpr uint64_t accessFileIoctlDevice = 1ULL << 15;  // ABI 5
constexpr uint64_t accessNetBindTcp = 1ULL << 0;        // ABI 4
constexpr uint64_t accessNetConnectTcp = 1ULL << 1;     // ABI 4
constexpr uint64_t scopeAbstractUnixSocket = 1ULL << 0; // ABI 6
constexpr uint64_t scopeSignal = 1ULL << 1;             // ABI 6

// The ruleset attributes as ABI 6 knows them; older kernels accept the
// longer structure as long as the fields they do not know are zero.
struct SRulesetAttributes {
    uint64_t handledAccessFs;
    uint64_t handledAccessNet;
    uint64_t scoped;
};

// Rights that make sense on a file rather than a folder.
constexpr uint64_t fileOnlyRights = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_WRITE_FILE |
                                    LANDLOCK_ACCESS_FS_READ_FILE | CLandlockRuleset::truncateRight |
                                    accessFileIoctlDevice;

uint64_t fileRightsOf(int abi)
{
    uint64_t rights = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1; // ABI 1: bits 0 to 12
    if (abi >= 2)
        rights |= LANDLOCK_ACCESS_FS_REFER;
    if (abi >= 3)
        rights |= CLandlockRuleset::truncateRight;
    if (abi >= 5)
        rights |= accessFileIoctlDevice;
    return rights;
}

std::string describeError(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

} // namespace

CLandlockRuleset::CLandlockRuleset(bool bReadsLeftOpen)
{
    const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi <= 0)
        return;
    const uint64_t unhandled = bReadsLeftOpen ? readRights : 0;
    const SRulesetAttributes attributes = {fileRightsOf(static_cast<int>(abi)) & ~unhandled,
                                           abi >= 4 ? accessNetBindTcp | accessNetConnectTcp : 0,
                                           abi >= 6 ? scopeAbstractUnixSocket | scopeSignal : 0};
    m_ruleset =
        CFileDescriptor(static_cast<int>(syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0)));
    if (!m_ruleset.isValid())
        return;
    m_abi = static_cast<int>(abi);
    m_handledFileRights = attributes.handledAccessFs;
}

std::string CLandlockRuleset::allow(const std::string& path, uint64_t rights)
{
    if (path.empty())
        return {};
    const CFileDescriptor file(::open(path.c_str(), O_PATH | O_CLOEXEC));
    if (!file.isValid())
        return errno == ENOENT ? std::string() : describeError(("cannot open " + path).c_str(), errno);
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0)
        return describeError(("cannot examine " + path).c_str(), errno);
    uint64_t allowed = rights & m_handledFileRights;
    if (!S_ISDIR(status.st_mode))
        allowed &= fileOnlyRights;
    landlock_path_beneath_attr rule = {};
    rule.allowed_access = allowed;
    rule.parent_fd = file.get();
    if (allowed == 0 || syscall(SYS_landlock_add_rule, m_ruleset.get(), LANDLOCK_RULE_PATH_BENEATH, &rule, 0) == 0)
        return {};
    return describeError(("cannot allow " + path).c_str(), errno);
}

std::string CLandlockRuleset::restrictSelf()
{
    if (syscall(SYS_landlock_restrict_self, m_ruleset.get(), 0) == 0)
        return {};
    return describeError("Landlock refused to restrict the process", errno);
}

} // namespace lumo::posix
