#include "host/common/CSimpleNEBContext.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CParseError.h"
#include "host/common/CBaseDirectories.h"
#include "host/common/CNullLogManager.h"
#include "streams/CMemoryManager.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace nebo::common {

CSimpleNEBContext::CSimpleNEBContext()
    : m_memoryManager(lumo::make<lumo::CMemoryManager>(30)), m_baseDirectories(lumo::make<CBaseDirectories>()),
      m_logManager(lumo::make<CNullLogManager>())
{
}

// Here, where the pool's class is known.
CSimpleNEBContext::~CSimpleNEBContext() = default;

void CSimpleNEBContext::setMemoryManager(lumo::P<lumo::IMemoryManager> manager)
{
    m_memoryManager = std::move(manager);
}

lumo::P<lumo::IMemoryManager> CSimpleNEBContext::getMemoryManager() { return m_memoryManager; }

bool CSimpleNEBContext::setPrefetch(bool bPrefetch) { return m_bPrefetch = bPrefetch; }

bool CSimpleNEBContext::getPrefetch() { return m_bPrefetch; }

bool CSimpleNEBContext::setFlag2(bool bFlag) { return m_bFlag2 = bFlag; }

bool CSimpleNEBContext::getFlag2() { return m_bFlag2; }

lumo::P<IBaseDirectories> CSimpleNEBContext::getBaseDirectories() { return m_baseDirectories; }

lumo::P<ILogManager> CSimpleNEBContext::getLogManager() { return m_logManager; }

void CSimpleNEBContext::setLogManager(lumo::P<ILogManager> manager) { m_logManager = std::move(manager); }

lumo::String CSimpleNEBContext::getPluginForURI(int32_t nTypes, const lumo::IURI& uri)
{
    const auto plugins = m_pluginCache.find(nTypes);
    if (plugins == m_pluginCache.end())
        return lumo::String();
    const auto plugin = plugins->second.find(uri.getText());
    return plugin == plugins->second.end() ? lumo::String() : plugin->second;
}

void CSimpleNEBContext::setPluginForURI(int32_t nTypes, const lumo::IURI& uri, const lumo::String& pluginName)
{
    m_pluginCache[nTypes][uri.getText()] = pluginName;
}

void CSimpleNEBContext::addPluginLibrary(const lumo::String& name) { m_pluginLibraries.push_back(name); }

int32_t CSimpleNEBContext::getPluginLibraryCount() { return static_cast<int32_t>(m_pluginLibraries.size()); }

lumo::String CSimpleNEBContext::getPluginLibrary(int32_t index)
{
    if (index < 0 || index >= getPluginLibraryCount())
        throw lumo::CInvalidArgError("the index must be below the number of plugin libraries", "getPluginLibrary",
                                     this);
    return m_pluginLibraries[static_cast<std::size_t>(index)];
}

const SSlaveLimits& CSimpleNEBContext::getSlaveLimits() { return m_slaveLimits; }

void CSimpleNEBContext::setSlaveLimits(const SSlaveLimits& limits) { m_slaveLimits = limits; }

lumo::P<lumo::CURI> CSimpleNEBContext::getSlaveProgram() { return m_slaveProgram; }

void CSimpleNEBContext::setSlaveProgram(lumo::P<lumo::CURI> program) { m_slaveProgram = std::move(program); }

void CSimpleNEBContext::setResumeAfterSlaveFailure(bool bResume) { m_bResumeAfterSlaveFailure = bResume; }

bool CSimpleNEBContext::getResumeAfterSlaveFailure() { return m_bResumeAfterSlaveFailure; }

void CSimpleNEBContext::write(lumo::IDataOutStream& out)
{
    out.writeBool(m_bPrefetch);
    out.writeBool(m_bFlag2);
    out.writeString(*m_baseDirectories->getOtherDirectory()->getText().get());
    out.writeString(*m_baseDirectories->getTempDirectory()->getText().get());
    out.writeInt(getPluginLibraryCount());
    for (const lumo::String& name : m_pluginLibraries)
        out.writeString(*name.get());
}

bool CSimpleNEBContext::read(lumo::IDataInStream& in)
{
    const bool bPrefetch = in.readBool();
    const bool bFlag2 = in.readBool();
    const auto otherDirectory = lumo::make<lumo::CURI>(in.readString());
    const auto tempDirectory = lumo::make<lumo::CURI>(in.readString());
    const int32_t count = in.readInt();
    if (count < 0)
        throw lumo::CParseError("The stream holds a negative number of plugin libraries.");
    // Grows with the names that arrive, never with the claimed count.
    std::vector<lumo::String> libraries;
    for (int32_t i = 0; i < count; ++i)
        libraries.push_back(in.readString());

    m_bPrefetch = bPrefetch;
    m_bFlag2 = bFlag2;
    m_baseDirectories->setOtherDirectory(*otherDirectory);
    m_baseDirectories->setTempDirectory(*tempDirectory);
    m_pluginCache.clear();
    m_pluginLibraries = std::move(libraries);
    return true;
}

} // namespace nebo::common
