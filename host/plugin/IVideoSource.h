#pragma once

#include "host/plugin/ISource.h"
#include "media/INEBPicture.h"

namespace nebo::common {

// A source of pictures. Sizes are pixels.
class IVideoSource : public virtual ISource {
public:
    // Pictures larger than this are scaled down, keeping their aspect.
    virtual void setMaxSize(int32_t nWidth, int32_t nHeight) = 0;
    virtual int32_t getWidth() = 0;
    virtual int32_t getHeight() = 0;
    virtual double peekNextPictureTimestamp() = 0;
    // The next picture, or null after the last one.
    virtual lumo::P<INEBPicture> getNextPicture() = 0;
    virtual int32_t getPixelAspectNum() = 0;
    virtual int32_t getPixelAspectDen() = 0;
    // Seconds.
    virtual double getFrameDuration() = 0;
    virtual int32_t getFrameRateNum() = 0;
    virtual int32_t getFrameRateDen() = 0;
};

} // namespace nebo::common
