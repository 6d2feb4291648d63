#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/IVideoSource.h"

#include <cstdint>

namespace nebo::common {

// An encoder that a plugin made for a URI: it is given its sources, opened,
// and writes the media when told to encode.
class IFormat : public virtual lumo::IBase {
public:
    virtual bool isOpened() = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isEncoding() = 0;
    virtual lumo::P<lumo::CURI> getURI() = 0;
    virtual lumo::String getFormatName() = 0;
    virtual lumo::String getPluginName() = 0;
    virtual void encode() = 0;
    // Percent of the work done.
    virtual int32_t getProgress() = 0;
    virtual void abort() = 0;
    virtual void setVideoSource(lumo::P<IVideoSource> source) = 0;
    virtual void setAudioSource(lumo::P<IAudioSource> source) = 0;
};

} // namespace nebo::common
