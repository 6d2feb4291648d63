#pragma once

#include "host/plugin/SMediumFacts.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace nebo::avlib {

// The facts of an opened and probed medium as the library knows them:
// container, tags and chapters, every picture stream but cover art (by its
// number in the file) and every audio stream (by its number among the audio
// streams in file order, as CSoundReader counts them). Whatever the file
// holds, the result stays within CMediumFacts' bounds: longer texts are cut
// at a character boundary, longer lists after their bound, and numbers out
// of range are left unknown. The delivered sample format stays empty.
common::SMediumFacts describeMedium(const AVFormatContext& context);

} // namespace nebo::avlib
