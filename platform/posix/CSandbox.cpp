#include "platform/posix/CSandbox.h"

#include "platform/posix/CLandlockRuleset.h"
#include "platform/posix/CSeccompFilter.h"

#include <cerrno>
#include <cstring>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace lumo::posix {

namespace {

// What the dynamic loader and the decoders' libraries read after start-up:
// libraries they load late (codecs, their plugins, gconv modules), the
// loader's cache, and the crash handler's memory map.
constexpr const char* systemLibraryFolders[] = {"/lib", "/usr/lib", "/lib64", "/usr/lib64"};
constexpr const char* systemReadableFiles[] = {"/etc/ld.so.cache", "/proc/self", "/dev/null", "/dev/urandom"};

std::string describeError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

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

} // namespace

void CSandbox::setMedium(const String& path) { m_medium = path.toUTF8(); }

void CSandbox::setErrorFile(const String& path) { m_errorFile = path.toUTF8(); }

void CSandbox::setProgramFolder(const String& path) { m_programFolder = path.toUTF8(); }

void CSandbox::setPluginFolder(const String& path) { m_pluginFolder = path.toUTF8(); }

void CSandbox::setLimits(const SLimits& limits) { m_limits = limits; }

std::vector<String> CSandbox::engage()
{
    std::vector<std::string> gaps;
    setLimit(RLIMIT_CORE, 0, "core dumps stay allowed", gaps);
    if (::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0)
        gaps.push_back(describeError("the process stays dumpable"));
    applyLimits(gaps);
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        gaps.push_back(describeError("no_new_privs cannot be set"));
    confineFiles(gaps);
    for (std::string& gap : CSeccompFilter::load())
        gaps.push_back(std::move(gap));

    std::vector<String> result;
    for (const std::string& gap : gaps)
        result.push_back(String::fromUTF8(gap));
    return result;
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

void CSandbox::confineFiles(std::vector<std::string>& gaps) const
{
    CLandlockRuleset ruleset;
    if (ruleset.getAbi() == 0) {
        gaps.push_back("Landlock is missing from this kernel: the plugin may read and write every file of its user");
        return;
    }
    const uint64_t libraryRights = CLandlockRuleset::readRights | CLandlockRuleset::executeRights;
    addGap(gaps, ruleset.allow(m_programFolder, libraryRights));
    addGap(gaps, ruleset.allow(m_pluginFolder, libraryRights));
    for (const char* folder : systemLibraryFolders)
        addGap(gaps, ruleset.allow(folder, libraryRights));
    for (const char* file : systemReadableFiles)
        addGap(gaps, ruleset.allow(file, CLandlockRuleset::readRights));
    addGap(gaps, ruleset.allow(m_medium, CLandlockRuleset::readRights));
    addGap(gaps, ruleset.allow(m_errorFile, CLandlockRuleset::writeRights));
    addGap(gaps, ruleset.restrictSelf());
}

} // namespace lumo::posix

namespace lumo {

P<ISandbox> createSandbox()
{
    return make<posix::CSandbox>();
}

} // namespace lumo
