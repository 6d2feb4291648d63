#pragma once

#include "foundation/String.h"

#include <functional>
#include <limits>
#include <optional>

namespace nebo::common {

// Where a boxed source's reader stands on each side, pictures and sound,
// so that a new slave that takes over from a failed one goes on right
// after the item that failed, with nothing handed out twice and each side
// in time order. A plain value; the source's one thread uses it.
class CResumePlanner {
public:
    enum class ESide { pictures, sound };

    // The seconds between one item of a side and the next: per picture, or
    // for a chunk of `lastBytes` bytes (0 when none was read). Throws what
    // asking the slave throws.
    using ItemDuration = std::function<double(ESide side, int32_t lastBytes)>;

    // Both sides stand at `seconds`, as after opening or a skip.
    void placeAt(double seconds);
    // Whether an item of `side` stamped `timestamp` goes to the reader: not
    // when a new slave repeats what came before its resume point. A kept
    // item of `bytes` bytes becomes the side's last.
    bool keep(ESide side, double timestamp, int32_t bytes);
    // The time a new slave skips to after `failed` failed there: half a step
    // past the item that failed (one step after the last handed out, or the
    // side's position when nothing was). The other side goes on from there
    // as well: one that was behind skips what lay between, one that was
    // ahead drops what it handed out already. Throws CNEBError, naming
    // `uri`, when a step is not a positive number of seconds, and what
    // `itemDuration` throws.
    double plan(ESide failed, const ItemDuration& itemDuration, const lumo::String& uri);

private:
    // What the host received of one side since it was last positioned.
    struct SSidePosition {
        double position = 0.0;
        // Of the last item handed out since.
        std::optional<double> lastTime;
        int32_t lastBytes = 0;
        // After a resume: items stamped below are repeats, or the one that
        // failed, and are dropped.
        double floor = -std::numeric_limits<double>::infinity();

        void placeAt(double seconds)
        {
            *this = SSidePosition();
            position = seconds;
        }
    };

    SSidePosition& sideOf(ESide side) { return side == ESide::pictures ? m_pictures : m_sound; }
    static double stepOf(ESide side, const SSidePosition& position, const ItemDuration& itemDuration,
                         const lumo::String& uri);

    SSidePosition m_pictures;
    SSidePosition m_sound;
};

} // namespace nebo::common
