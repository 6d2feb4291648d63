#include "plugins/avlib/CAvlibPlugin.h"

#include "foundation/CURIError.h"
#include "host/plugin/CPluginExtensions.h"
#include "host/plugin/getPluginMemoryManager.h"
#include "plugins/avlib/CAvlibSource.h"
#include "plugins/avlib/listDemuxerExtensions.h"

namespace nebo::avlib {

using lumo::make;
using lumo::P;

namespace {

// Exactly the URIs whose file the source can open.
bool namesLocalFile(const lumo::IURI& uri)
{
    try {
        uri.getNativePath();
        return true;
    } catch (const lumo::CURIError&) {
        return false;
    }
}

} // namespace

CAvlibPlugin::CAvlibPlugin(common::INEBContext* context)
    : m_context(context), m_memory(common::getPluginMemoryManager(context)),
      m_libraryLog(context ? context->getLogManager() : nullptr)
{
}

lumo::String CAvlibPlugin::getPluginName() { return lumo::String::fromUTF8(pluginName); }

int32_t CAvlibPlugin::getValidTypes() { return common::pictureSourceType | common::soundSourceType; }

P<common::IPluginExtensions> CAvlibPlugin::getValidExtensions(int32_t nTypes)
{
    P<common::CPluginExtensions> extensions = make<common::CPluginExtensions>();
    if (nTypes & getValidTypes())
        for (const std::string& extension : listDemuxerExtensions())
            extensions->addExtension(lumo::String::fromUTF8(extension));
    return extensions;
}

P<common::ISource> CAvlibPlugin::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool, const SSourceParams*)
{
    if (!(nTypes & getValidTypes()) || !namesLocalFile(uri))
        return nullptr;
    return make<CAvlibSource>(uri, nTypes, m_memory, m_context ? m_context->getLogManager() : nullptr);
}

P<common::IFormat> CAvlibPlugin::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace nebo::avlib
