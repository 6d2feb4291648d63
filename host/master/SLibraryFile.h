#pragma once

#include <cstdint>
#include <string>
#include <tuple>

namespace nebo::common {

// A plugin library as slaves answered for it: its file's path, size and
// modification time, so that a replaced file is asked anew, and the slave
// program that answered, likewise (empty where none is known).
struct SLibraryFile {
    std::string path;
    uintmax_t size = 0;
    // In the ticks of the file system's clock.
    int64_t modified = 0;
    // "<path> <size> <modification time>" of the slave program.
    std::string slaveProgram;

    auto tied() const { return std::tie(path, size, modified, slaveProgram); }
    bool operator<(const SLibraryFile& other) const { return tied() < other.tied(); }
    bool operator==(const SLibraryFile& other) const { return tied() == other.tied(); }
};

} // namespace nebo::common
