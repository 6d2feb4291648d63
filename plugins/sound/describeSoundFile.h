#pragma once

#include "host/plugin/SMediumFacts.h"
#include "plugins/sound/CSoundFile.h"

namespace nebo::sound {

// The facts of an open sound file: its container ("wav", "aiff", "flac",
// "ogg", ... with libsndfile's description), its texts as tags ("title",
// "artist", ...) and its one track, number 0. The track's codec is "flac",
// "alac", "vorbis", "opus" or "mp3" for those, else "pcm_" and the sample
// format for plain samples ("pcm_s16", "pcm_f32", ...), "ulaw" or "alaw",
// else libsndfile's name of the encoding. The bit rate is known for
// uncompressed samples only. Texts are cut to the master's bound.
common::SMediumFacts describeSoundFile(const CSoundFile& file);

} // namespace nebo::sound
