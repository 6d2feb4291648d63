#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"
#include "host/plugin/IAudioFormat.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/INEBPlugin.h"
#include "host/plugin/IVideoSource.h"
#include "streams/IMemoryBlock.h"

#include <cstdint>

namespace nebo::common {

// The plugins of a process, in load order, and the search for the one that
// opens a URI. Used from one thread.
class IPluginHandler : public virtual lumo::IBase {
public:
    // The RGB pixels of the picture at `time` seconds (or the last second of
    // a shorter clip), with its size in the out values; null when no plugin
    // opens the URI.
    virtual lumo::P<lumo::IMemoryBlock> grabPicture(const lumo::IURI& uri, double time, int32_t& nWidth,
                                                    int32_t& nHeight) = 0;
    // Sources for pictures and sound (types 3), pictures (1) and sound (2);
    // the three values fill the source parameters.
    virtual lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2, int32_t nValue3,
                                             bool bDontCloseAfterTesting) = 0;
    virtual lumo::P<IVideoSource> tryCreateVideoSource(const lumo::IURI& uri, bool bDontCloseAfterTesting) = 0;
    virtual lumo::P<IAudioSource> tryCreateAudioSource(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2,
                                                       int32_t nValue3, bool bDontCloseAfterTesting) = 0;
    // Formats for pictures and sound (types 24), pictures (8) and sound (16).
    virtual lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2, int32_t nValue3,
                                             bool bDontCloseAfterTesting) = 0;
    virtual lumo::P<IFormat> tryCreateVideoFormat(const lumo::IURI& uri, bool bDontCloseAfterTesting) = 0;
    virtual lumo::P<IAudioFormat> tryCreateAudioFormat(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2,
                                                       int32_t nValue3, bool bDontCloseAfterTesting) = 0;
    // Every extension of every plugin for `nTypes`, in plugin order;
    // duplicates stay.
    virtual lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) = 0;
    // Loads the library `name` beside the program; a failure to load is
    // logged and leaves the plugin out.
    virtual void addPlugin(const lumo::String& name) = 0;
    virtual bool isBoxed() = 0;
    virtual int32_t getPluginCount() = 0;
    virtual lumo::P<INEBPlugin> getPlugin(int32_t index) = 0;
    // When set, a source is opened before it is returned, and one that does
    // not open is passed over.
    virtual void setTestOpen(bool bTestOpen) = 0;
    virtual bool getTestOpen() = 0;
    // Cut from the end of a URI's extension before it is compared.
    virtual void setExtensionSuffix(const lumo::String& suffix) = 0;
    virtual lumo::String getExtensionSuffix() = 0;
};

} // namespace nebo::common
