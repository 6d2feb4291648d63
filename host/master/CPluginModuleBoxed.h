#pragma once

#include "foundation/CObject.h"
#include "host/master/CPluginAnswerCache.h"
#include "host/master/CSlavePool.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"

namespace nebo::common {

// A plugin that runs in slave processes, known here only by its name.
// Nothing of the plugin's library is loaded into this process: a question
// starts a slave of its own unless the process's CPluginAnswerCache holds
// its answer for `library`, and each source runs in the slave it starts
// when it is opened, or takes from `pool` one started ahead.
class CPluginModuleBoxed : public lumo::CObject, public virtual INEBPlugin {
public:
    // `pool` may be null.
    CPluginModuleBoxed(const lumo::P<INEBContext>& context, const lumo::String& pluginName, const SLibraryFile& library,
                       lumo::P<CSlavePool> pool = nullptr);

    lumo::String getPluginName() override;
    // Asks a slave once per library file; see CNEBPluginBoxed.
    int32_t getValidTypes() override;
    // Asks a slave once per library file and `nTypes`; the list is shared:
    // read it, never change it.
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // A CEncapsulatedSource, which starts nothing before it is opened.
    // `bDontCloseAfterTesting` plays no part here.
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;
    // Boxed plugins make no formats: always null.
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;

private:
    lumo::P<INEBContext> m_context;
    lumo::String m_pluginName;
    SLibraryFile m_library;
    lumo::P<CSlavePool> m_pool;
};

} // namespace nebo::common
