#include "host/CPluginModuleBoxed.h"

#include "host/CNEBError.h"

namespace nebo::common {

CPluginModuleBoxed::CPluginModuleBoxed(const lumo::P<INEBContext>& context, const lumo::String& pluginName)
    : m_context(context), m_pluginName(pluginName)
{
}

lumo::String CPluginModuleBoxed::getPluginName()
{
    return m_pluginName;
}

int32_t CPluginModuleBoxed::getValidTypes()
{
    throwNotAvailable();
}

lumo::P<IPluginExtensions> CPluginModuleBoxed::getValidExtensions(int32_t)
{
    throwNotAvailable();
}

lumo::P<ISource> CPluginModuleBoxed::tryCreateSource(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    throwNotAvailable();
}

lumo::P<IFormat> CPluginModuleBoxed::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

void CPluginModuleBoxed::throwNotAvailable() const
{
    throw CNEBError(lumo::String("boxed plugins are not available yet: ") + m_pluginName);
}

} // namespace nebo::common
