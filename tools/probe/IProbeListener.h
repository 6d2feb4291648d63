#pragma once

#include "tools/probe/SMediumReport.h"

namespace nebo::probe {

// The steps of probing a medium, each told once its part of the report is
// filled in; failed and warned each time an error or warning was added.
enum class EProbeStep {
    opening,
    opened,
    described,
    decoded,
    thumbnailWritten,
    sheetWritten,
    soundWritten,
    slavesReported,
    failed,
    warned,
    finished,
};

// Hears of a probe's progress, on the probing thread.
class IProbeListener {
public:
    virtual ~IProbeListener() = default;
    virtual void onStep(EProbeStep step, const SMediumReport& report) = 0;
};

} // namespace nebo::probe
