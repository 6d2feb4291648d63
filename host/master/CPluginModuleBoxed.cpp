#include "host/master/CPluginModuleBoxed.h"

#include "host/master/CEncapsulatedSource.h"
#include "host/master/CNEBPluginBoxed.h"

namespace nebo::common {

CPluginModuleBoxed::CPluginModuleBoxed(const lumo::P<INEBContext>& context, const lumo::String& pluginName,
                                       const SLibraryFile& library, lumo::P<CSlavePool> pool)
    : m_context(context), m_pluginName(pluginName), m_library(library), m_pool(std::move(pool))
{
}

lumo::String CPluginModuleBoxed::getPluginName() { return m_pluginName; }

int32_t CPluginModuleBoxed::getValidTypes()
{
    return getPluginAnswerCache()->getValidTypes(
        m_library, [this] { return lumo::make<CNEBPluginBoxed>(m_context, m_pluginName)->getValidTypes(); });
}

lumo::P<IPluginExtensions> CPluginModuleBoxed::getValidExtensions(int32_t nTypes)
{
    return getPluginAnswerCache()->getValidExtensions(m_library, nTypes, [this, nTypes] {
        return lumo::make<CNEBPluginBoxed>(m_context, m_pluginName)->getValidExtensions(nTypes);
    });
}

lumo::P<ISource> CPluginModuleBoxed::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool,
                                                     const SSourceParams* pParams)
{
    return lumo::make<CEncapsulatedSource>(m_context, m_pluginName, uri, nTypes, pParams, m_pool);
}

lumo::P<IFormat> CPluginModuleBoxed::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace nebo::common
