#include "platform/posix/CSandbox.h"

#include "platform/posix/CLandlockRuleset.h"
#include "platform/posix/CSeccompFilter.h"
#include "platform/posix/CSeccompProgram.h"

#include <cerrno>
#include <cstring>
#include <sys/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

// What the dynamic loader and the decoders' libraries read after start-up:
// libraries they load late (codecs, their plugins, gconv modules), the
// loader's cache, and the crash handler's memory map.
constexpr const char* systemLibraryFolders[] = {"/lib", "/usr/lib", "/lib64", "/usr/lib64"};
constexpr const char* systemReadableFiles[] = {"/etc/ld.so.cache", "/proc/self", "/dev/null", "/dev/urandom"};

const uint64_t libraryRights = CLandlockRuleset::readRights | CLandlockRuleset::executeRights;

std::string describeError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

void setLimit(int resource, uint64_t value, const char* what, std::vector<std::string>& gaps)
{
    const rlimit limit = {value, value};
    if (::setrlimit(resource, &limit) != 0)
        gaps.push_back(describeError(what));
}

void addGap(std::vector<std::string>& gaps, std::string gap)
{
    if (!gap.empty())
        gaps.push_back(std::move(gap));
}

// Empties every capability set; true when none is left. The bounding set
// shrinks only with CAP_SETPCAP: a process without it (the unprivileged
// user of a namespace) has nothing there to use, as exec stays refused.
bool dropCapabilities()
{
    for (cap_value_t capability = 0; capability < static_cast<cap_value_t>(cap_max_bits()); ++capability)
        cap_drop_bound(capability);
    cap_reset_ambient();
    const cap_t none = cap_init();
    const bool bDropped = none && cap_set_proc(none) == 0;
    cap_free(none);
    return bDropped;
}

std::vector<String> toStrings(const std::vector<std::string>& lines)
{
    std::vector<String> result;
    for (const std::string& line : lines)
        result.push_back(String::fromUTF8(line));
    return result;
}

} // namespace

void CSandbox::setMedium(const String& path) { m_medium = path.toUTF8(); }

void CSandbox::setErrorFile(const String& path) { m_errorFile = path.toUTF8(); }

void CSandbox::setProgramFolder(const String& path) { m_programFolder = path.toUTF8(); }

void CSandbox::setPluginFolder(const String& path) { m_pluginFolder = path.toUTF8(); }

void CSandbox::setLimits(const SLimits& limits) { m_limits = limits; }

void CSandbox::setForksChildren(bool bForksChildren) { m_bForksChildren = bForksChildren; }

std::vector<String> CSandbox::confineProcess()
{
    std::vector<std::string> gaps;
    setLimit(RLIMIT_CORE, 0, "core dumps stay allowed", gaps);
    if (::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        gaps.push_back(describeError("the process stays dumpable"));
    m_bWithoutCapabilities = dropCapabilities();
    if (!m_bWithoutCapabilities)
        gaps.push_back(describeError("the capabilities stay"));
    applyLimits(gaps);
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        gaps.push_back(describeError("no_new_privs cannot be set"));
    restrictWrites(gaps);
    // Built while the process may still make the memory file it is built
    // in: each child then only loads it, which costs it no building.
    if (m_bForksChildren)
        m_childFilter = CSeccompProgram::build(CSeccompFilter::EProfile::slave);
    const std::vector<std::string> filterGaps =
        CSeccompFilter::load(m_bForksChildren ? CSeccompFilter::EProfile::launcher : CSeccompFilter::EProfile::slave);
    m_bFilterLoaded = filterGaps.empty();
    gaps.insert(gaps.end(), filterGaps.begin(), filterGaps.end());
    return toStrings(gaps);
}

void CSandbox::applyLimits(std::vector<std::string>& gaps) const
{
    // The address sanitizer reserves terabytes of address space for its
    // shadow memory; a limit would stop it, so sanitized builds go without.
#if !defined(__SANITIZE_ADDRESS__)
    if (m_limits.maxAddressSpace)
        setLimit(RLIMIT_AS, m_limits.maxAddressSpace, "the address space stays unlimited", gaps);
#endif
    if (m_limits.maxFileSize)
        setLimit(RLIMIT_FSIZE, m_limits.maxFileSize, "the file size stays unlimited", gaps);
    if (m_limits.maxOpenFiles)
        setLimit(RLIMIT_NOFILE, m_limits.maxOpenFiles, "the number of open files stays unlimited", gaps);
}

void CSandbox::allowLibraries(CLandlockRuleset& ruleset, std::vector<std::string>& gaps) const
{
    addGap(gaps, ruleset.allow(m_programFolder, libraryRights));
    addGap(gaps, ruleset.allow(m_pluginFolder, libraryRights));
    for (const char* folder : systemLibraryFolders)
        addGap(gaps, ruleset.allow(folder, libraryRights));
}

void CSandbox::restrictWrites(std::vector<std::string>& gaps)
{
    CLandlockRuleset ruleset(true);
    if (ruleset.getAbi() == 0) {
        gaps.push_back("Landlock is missing from this kernel: the plugin may read and write every file of its user");
        return;
    }
    allowLibraries(ruleset, gaps);
    addGap(gaps, ruleset.allow(m_errorFile, CLandlockRuleset::writeRights));
    const std::string failure = ruleset.restrictSelf();
    addGap(gaps, failure);
    if (failure.empty())
        m_landlockAbi = ruleset.getAbi();
}

std::vector<String> CSandbox::confineFiles()
{
    // Without Landlock, confineProcess() said so already.
    if (m_landlockAbi == 0)
        return {};
    std::vector<std::string> gaps;
    CLandlockRuleset ruleset;
    allowLibraries(ruleset, gaps);
    for (const char* file : systemReadableFiles)
        addGap(gaps, ruleset.allow(file, CLandlockRuleset::readRights));
    addGap(gaps, ruleset.allow(m_medium, CLandlockRuleset::readRights));
    addGap(gaps, ruleset.allow(m_errorFile, CLandlockRuleset::writeRights));
    const std::string failure = ruleset.restrictSelf();
    addGap(gaps, failure);
    m_bReadsConfined = failure.empty();
    return toStrings(gaps);
}

std::vector<String> CSandbox::confineChild()
{
    m_bChild = true;
    m_bForksChildren = false;
    const std::vector<std::string> gaps =
        m_childFilter ? m_childFilter->load(::getpid()) : CSeccompFilter::load(CSeccompFilter::EProfile::slave);
    m_bFilterLoaded = gaps.empty();
    return toStrings(gaps);
}

std::vector<String> CSandbox::describeLayers() const
{
    std::vector<std::string> layers;
    // One clone makes all four namespaces or none, and the slave is the
    // first process of its PID namespace only then.
    // A launcher's child lives in the launcher's namespaces, the launcher
    // being their first process.
    const bool bOwnNamespaces = ::getpid() == 1 || (m_bChild && ::getppid() == 1);
    layers.push_back(bOwnNamespaces ? "own user, network, IPC and PID namespaces: no network, nothing outlives it"
                                    : "no namespaces of its own: the filter and Landlock alone keep it from the "
                                      "network and other processes");
    if (m_bWithoutCapabilities)
        layers.push_back("no capabilities, no new privileges");
    if (m_bFilterLoaded)
        layers.push_back("system-call filter: " + std::to_string(CSeccompFilter::countAllowedCalls()) +
                         " calls allowed, every other refused" +
                         (m_bForksChildren ? " (a launcher's: it forks its children)" : ""));
    if (m_landlockAbi > 0)
        layers.push_back(
            "Landlock ABI " + std::to_string(m_landlockAbi) +
            (m_bForksChildren ? ": writes only beneath the error folder" : ": writes only to the error file") +
            (m_bReadsConfined ? ", reads only of the medium and the libraries" : ""));
    return toStrings(layers);
}

} // namespace lumo::posix

namespace lumo {

P<ISandbox> createSandbox() { return make<posix::CSandbox>(); }

} // namespace lumo
