#pragma once

#include "foundation/CObject.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"

namespace nebo::common {

class CSlaveHandler;

// A plugin that answers each question from a slave started for that one
// question and ended right after it. Its sources come from the encapsulated
// source instead. Calls throw what starting or asking the slave throws; a
// slave that fails is reported as CNEBError with its error text, one that
// takes longer than the context's time limit is ended and reported so.
class CNEBPluginBoxed : public lumo::CObject, public virtual INEBPlugin {
public:
    CNEBPluginBoxed(lumo::P<INEBContext> context, const lumo::String& pluginName);

    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // Always null.
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;
    // Always null.
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                     const SSourceParams* pParams) override;

private:
    template <class F> auto askSlave(const char* what, F&& question);

    lumo::P<INEBContext> m_context;
    lumo::String m_pluginName;
};

} // namespace nebo::common
