#pragma once

#include "foundation/CObject.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"

#include <string>

namespace nebo::demo {

// Makes synthetic clips for URIs with the extension "demo"; no file needs
// to exist. It offers pictures and sound, and no formats.
class CDemoPlugin : public lumo::CObject, public virtual common::INEBPlugin {
public:
    // Pictures and sound take their memory from the context's memory
    // manager, or from one of the plugin's own when there is no context.
    explicit CDemoPlugin(common::INEBContext* context);

    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    // "demo" for pictures or sound, nothing for other kinds.
    lumo::P<common::IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // A source for a ".demo" URI (in any case) whose query is valid,
    // otherwise null; the log says why.
    lumo::P<common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;
    lumo::P<common::IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;

private:
    lumo::P<common::ILogManager> logManager();
    void logRefusal(const lumo::IURI& uri, const std::string& reason);

    const lumo::P<common::INEBContext> m_context;
    const lumo::P<lumo::IMemoryManager> m_memory;
};

} // namespace nebo::demo
