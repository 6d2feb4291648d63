#include "CExamplePlugin.h"

#include "CExampleSource.h"
#include "host/plugin/CPluginExtensions.h"
#include "host/plugin/getPluginMemoryManager.h"
#include "host/plugin/pluginExport.h"

namespace example {

using lumo::make;
using lumo::P;

CExamplePlugin::CExamplePlugin(nebo::common::INEBContext* context)
    // Pictures come from the host's memory manager, which recycles their
    // blocks once the host has sent them on.
    : m_memory(nebo::common::getPluginMemoryManager(context))
{
}

// Texts handed out must own their bytes (fromUTF8 copies): the host unloads
// the library once it released the plugin, and a literal would go with it.
lumo::String CExamplePlugin::getPluginName() { return lumo::String::fromUTF8("nebo_example"); }

int32_t CExamplePlugin::getValidTypes() { return nebo::common::pictureSourceType; }

P<nebo::common::IPluginExtensions> CExamplePlugin::getValidExtensions(int32_t nTypes)
{
    P<nebo::common::CPluginExtensions> extensions = make<nebo::common::CPluginExtensions>();
    if (nTypes & getValidTypes())
        extensions->addExtension(lumo::String::fromUTF8("example"));
    return extensions;
}

P<nebo::common::ISource> CExamplePlugin::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool,
                                                         const SSourceParams*)
{
    // Cheap checks only: the host test-opens what it gets, and open() reads.
    if (!(nTypes & getValidTypes()) || uri.getExtension().toUTF8() != ".example" || uri.getScheme().toUTF8() != "file")
        return nullptr;
    return make<CExampleSource>(uri, m_memory);
}

P<nebo::common::IFormat> CExamplePlugin::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace example

// The one entry point the host looks for: a new plugin with one reference,
// which the caller takes over.
NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<example::CExamplePlugin>(context).detach();
}
