#include "slave/CSlaveConfinement.h"

#include "foundation/CException.h"
#include "host/common/isConfinementOff.h"
#include "host/wire/slaveEnvironment.h"
#include "platform/IPathes.h"
#include "platform/ISystem.h"
#include "slave/readByteSetting.h"

namespace nebo::common {

namespace {

constexpr int32_t levelError = 0;
constexpr int32_t levelWarning = 1;
constexpr int32_t levelInfo = 2;

// Empty for a medium that is no local file: there is nothing to read then.
lumo::String nativePathOf(const lumo::IURI& medium)
{
    try {
        return lumo::getPathes()->getNativePath(medium, false);
    } catch (const lumo::CException&) {
        return lumo::String();
    }
}

lumo::P<lumo::ISandbox> createSlaveSandbox(const std::string& errorFilePath, const std::string& pluginFolder)
{
    const lumo::P<lumo::ISandbox> sandbox = lumo::createSandbox();
    sandbox->setErrorFile(lumo::String::fromUTF8(errorFilePath));
    sandbox->setProgramFolder(lumo::getPathes()->getNativePath(*lumo::getSystem()->getExecutableDirectory(), false));
    sandbox->setPluginFolder(lumo::String::fromUTF8(pluginFolder));
    lumo::ISandbox::SLimits limits;
    limits.maxAddressSpace = CSlaveConfinement::getMaxAddressSpace();
    limits.maxFileSize = CSlaveConfinement::maxFileSize;
    limits.maxOpenFiles = CSlaveConfinement::maxOpenFiles;
    sandbox->setLimits(limits);
    return sandbox;
}

} // namespace

CSlaveConfinement::CSlaveConfinement(std::string errorFilePath, std::string pluginFolder, lumo::P<ILogManager> log,
                                     bool bLauncher)
    : m_log(std::move(log)), m_bEnabled(!isConfinementOff())
{
    if (!m_bEnabled) {
        m_log->logText(levelError, lumo::String("confinement is off (NEBO_SANDBOX=off): the plugin runs with every "
                                                "right of its user"));
        return;
    }
    m_sandbox = createSlaveSandbox(errorFilePath, pluginFolder);
    m_sandbox->setForksChildren(bLauncher);
}

uint64_t CSlaveConfinement::getMaxAddressSpace()
{
    return readByteSetting(addressSpaceVariable).value_or(defaultMaxAddressSpace);
}

void CSlaveConfinement::confineProcess()
{
    if (!m_bEnabled)
        return;
    logGaps(m_sandbox->confineProcess());
    logLayers();
}

void CSlaveConfinement::confineChild(const std::string& errorFilePath)
{
    if (!m_bEnabled)
        return;
    m_sandbox->setErrorFile(lumo::String::fromUTF8(errorFilePath));
    logGaps(m_sandbox->confineChild());
    logLayers();
}

void CSlaveConfinement::logLayers() const
{
    lumo::String layers;
    for (const lumo::String& layer : m_sandbox->describeLayers())
        layers = layers + lumo::String("; ") + layer;
    m_log->logText(levelInfo, lumo::String("confinement in force") + layers);
}

void CSlaveConfinement::engageFor(const lumo::IURI& medium)
{
    if (!m_bEnabled || m_bFilesConfined)
        return;
    m_bFilesConfined = true;
    m_sandbox->setMedium(nativePathOf(medium));
    logGaps(m_sandbox->confineFiles());
}

void CSlaveConfinement::logGaps(const std::vector<lumo::String>& gaps) const
{
    for (const lumo::String& gap : gaps)
        m_log->logText(levelWarning, lumo::String("confinement is incomplete: ") + gap);
}

} // namespace nebo::common
