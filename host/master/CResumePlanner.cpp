#include "host/master/CResumePlanner.h"

#include "media/CNEBError.h"

#include <cmath>

namespace nebo::common {

using lumo::String;

void CResumePlanner::placeAt(double seconds)
{
    m_pictures.placeAt(seconds);
    m_sound.placeAt(seconds);
}

bool CResumePlanner::keep(ESide side, double timestamp, int32_t bytes)
{
    SSidePosition& position = sideOf(side);
    if (timestamp < position.floor)
        return false;
    position.lastTime = timestamp;
    position.lastBytes = bytes;
    position.floor = -std::numeric_limits<double>::infinity();
    return true;
}

double CResumePlanner::plan(ESide failed, const ItemDuration& itemDuration, const String& uri)
{
    const ESide otherSide = failed == ESide::pictures ? ESide::sound : ESide::pictures;
    SSidePosition& failedPosition = sideOf(failed);
    SSidePosition& other = sideOf(otherSide);
    const double step = stepOf(failed, failedPosition, itemDuration, uri);
    const double failedTime = failedPosition.lastTime ? *failedPosition.lastTime + step : failedPosition.position;
    // Half a step on: past the item that failed, not yet at the next one.
    const double resumeTime = failedTime + step / 2;
    failedPosition.placeAt(resumeTime);
    failedPosition.floor = resumeTime;
    // One skip places both sides, and starting before the failed item
    // would meet it again.
    if (other.lastTime)
        other.floor = *other.lastTime + stepOf(otherSide, other, itemDuration, uri) / 2;
    else
        other.placeAt(resumeTime);
    return resumeTime;
}

double CResumePlanner::stepOf(ESide side, const SSidePosition& position, const ItemDuration& itemDuration,
                              const String& uri)
{
    const double step = itemDuration(side, position.lastBytes);
    if (!std::isfinite(step) || step <= 0.0)
        throw CNEBError(String("cannot resume ") + uri +
                        String(": the plugin tells no length of its pictures or sound"));
    return step;
}

} // namespace nebo::common
