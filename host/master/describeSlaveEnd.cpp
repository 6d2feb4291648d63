#include "host/master/describeSlaveEnd.h"

#include <string>

namespace nebo::common {

lumo::String describeSlaveEnd(const lumo::SProcessEnd& end)
{
    constexpr int64_t bytesPerMB = 1000 * 1000;
    const int64_t peakMB = (end.peakResidentBytes + bytesPerMB / 2) / bytesPerMB;
    return lumo::String::fromUTF8(std::to_string(peakMB) + " MB peak, " + std::to_string(end.cpuTimeMs) + " ms CPU, ") +
           end.cause;
}

} // namespace nebo::common
