#include "slave/CSlaveConfinement.h"

#include "foundation/CException.h"
#include "platform/IPathes.h"
#include "platform/ISandbox.h"
#include "platform/ISystem.h"
#include "slave/readByteSetting.h"

#include <cstdlib>
#include <cstring>

namespace nebo::common {

namespace {

constexpr int32_t levelError = 0;
constexpr int32_t levelWarning = 1;

bool isSandboxOff()
{
    const char* setting = std::getenv("NEBO_SANDBOX");
    return setting && std::strcmp(setting, "off") == 0;
}

// Empty for a medium that is no local file: there is nothing to read then.
lumo::String nativePathOf(const lumo::IURI& medium)
{
    try {
        return lumo::getPathes()->getNativePath(medium, false);
    } catch (const lumo::CException&) {
        return lumo::String();
    }
}

} // namespace

CSlaveConfinement::CSlaveConfinement(std::string errorFilePath, std::string pluginFolder, lumo::P<ILogManager> log)
    : m_errorFilePath(std::move(errorFilePath)), m_pluginFolder(std::move(pluginFolder)), m_log(std::move(log)),
      m_bEnabled(!isSandboxOff())
{
    if (!m_bEnabled)
        m_log->logText(levelError, lumo::String("confinement is off (NEBO_SANDBOX=off): the plugin runs with every "
                                                "right of its user"));
}

uint64_t CSlaveConfinement::getMaxAddressSpace()
{
    return readByteSetting("NEBO_SLAVE_MAX_ADDRESS_SPACE").value_or(defaultMaxAddressSpace);
}

void CSlaveConfinement::engageFor(const lumo::IURI& medium)
{
    if (!m_bEnabled || m_bEngaged)
        return;
    m_bEngaged = true;
    engage(medium);
}

void CSlaveConfinement::engage(const lumo::IURI& medium)
{
    const lumo::P<lumo::ISandbox> sandbox = lumo::createSandbox();
    sandbox->setMedium(nativePathOf(medium));
    sandbox->setErrorFile(lumo::String::fromUTF8(m_errorFilePath));
    sandbox->setProgramFolder(
        lumo::getPathes()->getNativePath(*lumo::getSystem()->getExecutableDirectory(), false));
    sandbox->setPluginFolder(lumo::String::fromUTF8(m_pluginFolder));
    lumo::ISandbox::SLimits limits;
    limits.maxAddressSpace = getMaxAddressSpace();
    limits.maxFileSize = maxFileSize;
    limits.maxOpenFiles = maxOpenFiles;
    sandbox->setLimits(limits);
    for (const lumo::String& gap : sandbox->engage())
        m_log->logText(levelWarning, lumo::String("confinement is incomplete: ") + gap);
}

} // namespace nebo::common
