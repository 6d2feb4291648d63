#pragma once

#include <windows.h>

namespace crashhandler {

// Creates or empties the report file at `path` (UTF-8, at most 4095 bytes)
// for writing; INVALID_HANDLE_VALUE when it cannot. The path is converted
// in a fixed buffer: no heap, for a process whose heap may be wrecked.
HANDLE openReportFile(const char* path) noexcept;

} // namespace crashhandler
