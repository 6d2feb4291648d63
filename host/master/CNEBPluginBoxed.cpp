#include "host/master/CNEBPluginBoxed.h"

#include "host/master/CSlaveHandler.h"

namespace nebo::common {

CNEBPluginBoxed::CNEBPluginBoxed(lumo::P<INEBContext> context, const lumo::String& pluginName)
    : m_context(std::move(context)), m_pluginName(pluginName)
{
}

template <class F> auto CNEBPluginBoxed::askSlave(const char* what, F&& question)
{
    // The handler's release ends the slave, also when the question failed.
    const lumo::P<CSlaveHandler> handler =
        lumo::make<CSlaveHandler>(m_context, m_pluginName, lumo::IProcess::priorityBelowNormal);
    const lumo::P<INEBPluginRemote> plugin = handler->callIntoSlave([&] { return handler->getClient(); });
    return handler->callWithinLimit(what, [&] { return question(*plugin); });
}

lumo::String CNEBPluginBoxed::getPluginName()
{
    return askSlave("getPluginName", [](INEBPluginRemote& plugin) { return plugin.getPluginName(); });
}

int32_t CNEBPluginBoxed::getValidTypes()
{
    return askSlave("getValidTypes", [](INEBPluginRemote& plugin) { return plugin.getValidTypes(); });
}

lumo::P<IPluginExtensions> CNEBPluginBoxed::getValidExtensions(int32_t nTypes)
{
    return askSlave("getValidExtensions",
                    [nTypes](INEBPluginRemote& plugin) { return plugin.getValidExtensions(nTypes); });
}

lumo::P<ISource> CNEBPluginBoxed::tryCreateSource(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

lumo::P<IFormat> CNEBPluginBoxed::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace nebo::common
