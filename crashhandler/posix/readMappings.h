#pragma once

#include <cstddef>
#include <cstdint>

namespace crashhandler {

// One mapping of a process's address space; `path` points into the line it
// was read from and is empty for anonymous memory.
struct SMapping {
    uint64_t start = 0;
    uint64_t end = 0;
    bool readable = false;
    bool executable = false;
    const char* path = "";
    size_t pathLength = 0;
};

class IMappingVisitor {
public:
    virtual void visit(const SMapping& mapping) noexcept = 0;

protected:
    ~IMappingVisitor() = default;
};

// Parses one line of the kernel's list of a process's mappings (the format
// of /proc/<pid>/maps), without its line feed; false when it is no such line.
bool parseMapping(const char* line, size_t length, SMapping& mapping) noexcept;

// Reads such a list from `descriptor` to its end and visits each mapping in
// order; lines that do not parse are passed over. A path too long for the
// fixed line buffer is cut. Async-signal-safe.
void readMappings(int descriptor, IMappingVisitor& visitor) noexcept;

// readMappings of the calling process's own list; false when it cannot be
// opened.
bool readOwnMappings(IMappingVisitor& visitor) noexcept;

} // namespace crashhandler
