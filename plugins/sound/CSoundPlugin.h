#pragma once

#include "foundation/CObject.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"

namespace nebo::sound {

// Reads the sound files that libsndfile knows, as sound sources of local
// files. It offers no pictures and no formats.
class CSoundPlugin : public lumo::CObject, public virtual common::INEBPlugin {
public:
    // Chunks take their memory from the context's memory manager, or from
    // one of the plugin's own when there is no context.
    explicit CSoundPlugin(common::INEBContext* context);

    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    // For sound, the extensions of every file kind libsndfile reads without
    // being told the layout, lower case and each once; nothing for other kinds.
    lumo::P<common::IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // A source, not yet open, for a "file" URI when sound is asked for;
    // otherwise null.
    lumo::P<common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;
    lumo::P<common::IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;

private:
    const lumo::P<lumo::IMemoryManager> m_memory;
};

} // namespace nebo::sound
