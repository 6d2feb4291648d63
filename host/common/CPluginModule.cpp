#include "host/common/CPluginModule.h"

#include "host/plugin/pluginExport.h"
#include "media/CNEBError.h"
#include "platform/IDynamicLibraryLoader.h"
#include "platform/IPathes.h"

namespace nebo::common {

CPluginModule::CPluginModule(const lumo::P<INEBContext>& context, const lumo::IURI& uri)
    : m_uri(lumo::make<lumo::CURI>(uri.getText()))
{
    const lumo::String uriText = m_uri->getText();
    m_library = lumo::getDynamicLibraryLoader()->load(lumo::getPathes()->getNativePath(*m_uri, false));
    if (!m_library)
        throw CNEBError(lumo::String("could not load plugin: ") + uriText);

    void* factory = m_library->getSymbol(lumo::String(pluginCreateSymbol));
    if (!factory)
        throw CNEBError(lumo::String("could not load link create function for: ") + uriText);

    m_plugin = lumo::P<INEBPlugin>(lumo::adopt, reinterpret_cast<PluginCreateFunction>(factory)(context.get()));
    if (!m_plugin)
        throw CNEBError(lumo::String("could not load link create plugin object for: ") + uriText);
}

CPluginModule::~CPluginModule()
{
    // The plugin's code lives in the library, so the plugin must go first.
    m_plugin = nullptr;
    m_library = nullptr;
    m_uri = nullptr;
}

lumo::String CPluginModule::getPluginName() { return m_plugin->getPluginName(); }

int32_t CPluginModule::getValidTypes() { return m_plugin->getValidTypes(); }

lumo::P<IPluginExtensions> CPluginModule::getValidExtensions(int32_t nTypes)
{
    return m_plugin->getValidExtensions(nTypes);
}

lumo::P<ISource> CPluginModule::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                                const SSourceParams* pParams)
{
    return m_plugin->tryCreateSource(uri, nTypes, bDontCloseAfterTesting, pParams);
}

lumo::P<IFormat> CPluginModule::tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                                const SSourceParams* pParams)
{
    return m_plugin->tryCreateFormat(uri, nTypes, bDontCloseAfterTesting, pParams);
}

} // namespace nebo::common
