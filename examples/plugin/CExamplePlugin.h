#pragma once

#include "foundation/CObject.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"

namespace example {

// A plugin of one's own, as small as a working one gets: it plays ".example"
// files, a line of text "WIDTH HEIGHT PICTURES RRGGBB" that stands for a clip
// of that many pictures of one colour at 10 per second. It offers pictures
// only, and no formats.
class CExamplePlugin : public lumo::CObject, public virtual nebo::common::INEBPlugin {
public:
    // The context outlives the plugin; it may be null.
    explicit CExamplePlugin(nebo::common::INEBContext* context);

    // The name hosts know the plugin by: the base name of its library.
    lumo::String getPluginName() override;
    // The media-type bits of host/plugin/INEBContext.h: pictures.
    int32_t getValidTypes() override;
    // "example" when `nTypes` asks for pictures; no other extension.
    lumo::P<nebo::common::IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // A source for a ".example" file, not yet open; null for anything else,
    // which tells the host to try the next plugin.
    lumo::P<nebo::common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                                   const SSourceParams* pParams) override;
    // Formats are beyond this plugin: always null.
    lumo::P<nebo::common::IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                                   const SSourceParams* pParams) override;

private:
    const lumo::P<lumo::IMemoryManager> m_memory;
};

} // namespace example
