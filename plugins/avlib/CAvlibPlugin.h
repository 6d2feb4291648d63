#pragma once

#include "foundation/CObject.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"
#include "plugins/avlib/CLibraryLogForwarder.h"

namespace nebo::avlib {

// Pictures and sound of local media files, read with the decoding library;
// no formats.
class CAvlibPlugin : public lumo::CObject, public virtual common::INEBPlugin {
public:
    // Pictures and sound take their memory from the context's memory
    // manager, or from one of the plugin's own when there is no context.
    // The library's messages go into the context's log while the plugin
    // lives, never to the console (see CLibraryLogForwarder).
    explicit CAvlibPlugin(common::INEBContext* context);

    lumo::String getPluginName() override;
    int32_t getValidTypes() override;
    // Every extension the library's demuxers know, for pictures or sound.
    lumo::P<common::IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    // An unopened source for a URI that names a local file, null for any
    // other: the file is only read by the source's open().
    lumo::P<common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;
    lumo::P<common::IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) override;

private:
    const lumo::P<common::INEBContext> m_context;
    const lumo::P<lumo::IMemoryManager> m_memory;
    const CLibraryLogForwarder m_libraryLog;
};

} // namespace nebo::avlib
