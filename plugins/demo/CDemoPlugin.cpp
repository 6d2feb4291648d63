#include "plugins/demo/CDemoPlugin.h"

#include "foundation/CParseError.h"
#include "foundation/equalsIgnoringASCIICase.h"
#include "host/plugin/CPluginExtensions.h"
#include "host/plugin/getPluginMemoryManager.h"
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
    if (!lumo::equalsIgnoringASCIICase(uri.getExtension().toUTF8(), demoFileSuffix)) {
        logRefusal(uri, std::string("not a \"") + demoFileSuffix + "\" name");
        return nullptr;
    }
    try {
        return make<CDemoSource>(CDemoClip::fromQuery(uri.getQuery()), uri, m_memory, logManager());
    } catch (const lumo::CParseError& error) {
        logRefusal(uri, error.getDescription()->toUTF8());
        return nullptr;
    }
}

P<common::ILogManager> CDemoPlugin::logManager() { return m_context ? m_context->getLogManager() : nullptr; }

void CDemoPlugin::logRefusal(const lumo::IURI& uri, const std::string& reason)
{
    const P<common::ILogManager> log = logManager();
    if (log)
        log->logText(
            2, lumo::String::fromUTF8(std::string(pluginName) + ": " + reason + " (" + uri.getText().toUTF8() + ")"));
}

P<common::IFormat> CDemoPlugin::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace nebo::demo
