#pragma once

#include "crashhandler/SCrashRecord.h"
#include "crashhandler/posix/readMappings.h"

namespace crashhandler {

// Gathers a process's loaded objects from its mappings, given in address
// order, into a module list. The mappings of one file make one
// module that spans them all, whatever anonymous memory lies between them;
// a file with no executable mapping (data) is no module. Modules are named
// by the file's base name. Modules beyond the list's room are left out.
class CModuleListBuilder {
public:
    explicit CModuleListBuilder(SModuleList& list) noexcept : m_list(list) {}

    void add(const SMapping& mapping) noexcept;
    // Ends the last module; call after the last mapping.
    void finish() noexcept;

private:
    bool isCurrentFile(const SMapping& mapping) const;
    void endModule();

    SModuleList& m_list;
    char m_path[4096 + 128];
    size_t m_pathLength = 0;
    uint64_t m_start = 0;
    uint64_t m_end = 0;
    bool m_executable = false;
};

} // namespace crashhandler
