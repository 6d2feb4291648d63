#pragma once

#include <string>
#include <vector>

namespace nebo::avlib {

// The file extensions of every demuxer of the installed library, lower
// case, without dots or repeats, in the library's order. A demuxer that
// lists none takes those of the muxer of its name (the wave reader lists
// none, its writer does). Built once; safe from any thread.
const std::vector<std::string>& listDemuxerExtensions();

} // namespace nebo::avlib
