#pragma once

#include "host/plugin/IFormat.h"

namespace nebo::common {

// An encoder of sound.
class IAudioFormat : public virtual IFormat {
public:
    virtual void setSampleRate(int32_t nSampleRate) = 0;
    virtual void setChannelCount(int32_t nChannelCount) = 0;
};

} // namespace nebo::common
