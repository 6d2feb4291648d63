#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"
#include "host/plugin/IFormat.h"
#include "host/plugin/IPluginExtensions.h"
#include "host/plugin/ISource.h"

#include <cstdint>

namespace nebo::common {

// A media plugin: it names itself, says which media kinds and file
// extensions it handles, and makes sources and formats for URIs. Calls may
// throw any lumo::CException; empty results mean "not mine".
class INEBPlugin : public virtual lumo::IBase {
public:
    // Passed with every source request; it travels as its 16 bytes.
    struct SSourceParams {
        // Always 16.
        int32_t nSize = sizeof(SSourceParams);
        // Three values for sources that carry sound; the host passes them
        // through unchanged.
        int32_t nValue1 = 0;
        int32_t nValue2 = 0;
        int32_t nValue3 = 0;
    };

    virtual lumo::String getPluginName() = 0;
    // The media-type bits the plugin serves.
    virtual int32_t getValidTypes() = 0;
    // The extensions (without the dot) for the kinds in `nTypes`.
    virtual lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) = 0;
    // A source for `uri`, or null. `pParams` may be null.
    virtual lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) = 0;
    virtual lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                                             const SSourceParams* pParams) = 0;
};

static_assert(sizeof(INEBPlugin::SSourceParams) == 16, "the record travels as exactly 16 bytes");

} // namespace nebo::common
