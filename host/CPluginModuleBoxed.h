#pragma once

#include "foundation/CObject.h"
#include "host/INEBContext.h"
#include "host/INEBPlugin.h"

namespace nebo::common {

// A plugin that runs in a slave process of its own, known here only by its
// name. Nothing of the plugin's library is loaded into this process.
class CPluginModuleBoxed : public lumo::CObject, public virtual INEBPlugin {
public:
    CPluginModuleBoxed(const lumo::P<INEBContext>& context, const lumo::String& pluginName);

    lumo::String getPluginName() override;
    // The slave side of boxed plugins is not built yet: these three throw
    // CNEBError until it is, instead of pretending the plugin has nothing.
    int32_t getValidTypes() override;
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;
    // Boxed plugins make no formats: always null.
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;

private:
    [[noreturn]] void throwNotAvailable() const;

    lumo::P<INEBContext> m_context;
    lumo::String m_pluginName;
};

} // namespace nebo::common
