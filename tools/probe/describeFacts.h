#pragma once

#include "tools/probe/SMediumReport.h"

#include <string>
#include <utility>
#include <vector>

namespace nebo::probe {

// The facts a plugin told, in words for people. Texts come from slaves and
// are escaped by whoever prints them.

using FactLines = std::vector<std::pair<std::string, std::string>>;

// "128 kbit/s", "1.50 Mbit/s".
std::string formatBitRate(int64_t bitsPerSecond);

// The container, the bit rate, each tag and each chapter, one per line;
// what is not known is left out.
FactLines describeMediumFacts(const common::SMediumFacts& facts);

// "h264 (High), yuv420p, 8 bits, 4:2:0, colour tv bt709, pixels 4:3,
// display 16:9, rotated 90°, 1.20 Mbit/s"; what is not known is left out.
std::string describePictureStream(const common::SPictureStreamFacts& stream);

// "aac (LC), 2 channels (stereo), 44100 Hz, s16 16 bits, 128 kbit/s,
// language fra" from the listed track and what the facts add; `told` may be
// null.
std::string describeSoundTrack(const SSoundTrack& track, const common::SSoundTrackFacts* told);

// The facts of sound track `index`; null when the plugin told none.
const common::SSoundTrackFacts* findSoundTrackFacts(const SMediumReport& report, int32_t index);

} // namespace nebo::probe
