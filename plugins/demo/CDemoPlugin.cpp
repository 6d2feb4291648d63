#include "plugins/demo/CDemoPlugin.h"

#include "host/CPluginExtensions.h"
#include "host/getPluginMemoryManager.h"
#include "host/pluginExport.h"
#include "plugins/demo/CDemoSource.h"

#include <string>

namespace nebo::demo {

using lumo::make;
using lumo::P;

namespace {

// As the plugin lists it, and as a URI's file name ends.
constexpr const char* demoExtension = "demo";
constexpr const char* demoFileSuffix = ".demo";

} // namespace

CDemoPlugin::CDemoPlugin(common::INEBContext* context)
    : m_context(context), m_memory(common::getPluginMemoryManager(context))
{
}

lumo::String CDemoPlugin::getPluginName() { return lumo::String::fromUTF8(pluginName); }

int32_t CDemoPlugin::getValidTypes() { return common::pictureSourceType | common::soundSourceType; }

P<common::IPluginExtensions> CDemoPlugin::getValidExtensions(int32_t nTypes)
{
    P<common::CPluginExtensions> extensions = make<common::CPluginExtensions>();
    if (nTypes & getValidTypes())
        extensions->addExtension(lumo::String::fromUTF8(demoExtension));
    return extensions;
}

P<common::ISource> CDemoPlugin::tryCreateSource(const lumo::IURI& uri, int32_t, bool, const SSourceParams*)
{
    if (uri.getExtension().toUTF8() != demoFileSuffix)
        return nullptr;
    const std::optional<CDemoClip> clip = CDemoClip::fromQuery(uri.getQuery());
    if (!clip) {
        logRefusal(uri);
        return nullptr;
    }
    return make<CDemoSource>(*clip, uri, m_memory, logManager());
}

P<common::ILogManager> CDemoPlugin::logManager()
{
    return m_context ? m_context->getLogManager() : nullptr;
}

void CDemoPlugin::logRefusal(const lumo::IURI& uri)
{
    const P<common::ILogManager> log = logManager();
    if (log)
        log->logText(2, lumo::String::fromUTF8(std::string(pluginName) + ": the query of " + uri.getText().toUTF8() +
                                                 " does not describe a clip"));
}

P<common::IFormat> CDemoPlugin::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace nebo::demo

NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<nebo::demo::CDemoPlugin>(context).detach();
}
