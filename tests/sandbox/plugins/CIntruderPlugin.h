#pragma once

#include "foundation/CObject.h"
#include "host/INEBContext.h"
#include "host/INEBPlugin.h"

#include <string>

namespace nebo::test {

// A plugin that, asked for a source, tries what a confined slave must be
// refused. It claims the extension "intrude" for pictures and sound; its
// URI's query names the acts ("acts=readSecret,fork") and their parameters
// (see runIntruderAct). Each act leaves one line in the context's log at
// level 0, "intruder <act>: done" or "intruder <act>: refused (<reason>)",
// and no source is ever made, so that the master fails to open and takes
// the slave's log into its own. The act "exec" ends the slave when it is
// allowed to run.
class CIntruderPlugin : public lumo::CObject, public virtual common::INEBPlugin {
public:
    explicit CIntruderPlugin(common::INEBContext* context);

    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    lumo::P<common::IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // Tries the acts and returns null.
    lumo::P<common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;
    lumo::P<common::IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;

private:
    void log(const std::string& line);

    const lumo::P<common::INEBContext> m_context;
};

} // namespace nebo::test
