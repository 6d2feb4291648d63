#pragma once

#include "foundation/CObject.h"
#include "foundation/CURI.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"
#include "platform/IDynamicLibrary.h"

namespace nebo::common {

// A plugin library loaded into this process, and the plugin object that its
// factory made. Everything the plugin hands out (sources, formats, extension
// lists, errors) runs code of the library, and the library is unloaded with
// the module: whoever holds such an object must release it before the last
// reference to the module goes. One thread at a time, like the plugin.
class CPluginModule : public lumo::CObject, public virtual INEBPlugin {
public:
    // Loads the library that the "file" URI names and asks its factory for
    // the plugin, handing it `context` (may be null), which must outlive the
    // module. Throws CNEBError when the library does not load, exports no
    // factory, or the factory makes no plugin; whatever the factory throws
    // passes through.
    CPluginModule(const lumo::P<INEBContext>& context, const lumo::IURI& uri);
    ~CPluginModule() override;

    // The plugin's own operations, unchanged.
    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;

private:
    lumo::P<lumo::CURI> m_uri;
    lumo::P<INEBPlugin> m_plugin;
    lumo::P<lumo::IDynamicLibrary> m_library;
};

} // namespace nebo::common
