#pragma once

#include "foundation/CURI.h"
#include "foundation/P.h"

#include <cstdint>

namespace nebo::common {

// A media file or stream opened by a plugin. Calls may throw any
// lumo::CException; a source is used by one thread at a time.
class ISource : public virtual lumo::IBase {
public:
    virtual bool isOpened() = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    // Makes the next picture and chunk the first at or after `seconds`.
    virtual void skipToTime(double seconds) = 0;
    // Seconds.
    virtual double getDuration() = 0;
    // Percent of the source that is at hand.
    virtual int32_t getBufferStatus() = 0;
    virtual bool isEOF() = 0;
    virtual void setStartTime(double seconds) = 0;
    virtual double getStartTime() = 0;
    virtual lumo::P<lumo::CURI> getURI() = 0;
    virtual lumo::String getPluginName() = 0;
};

} // namespace nebo::common
