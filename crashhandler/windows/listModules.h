#pragma once

#include "crashhandler/SCrashRecord.h"

namespace crashhandler {

// Fills `modules` with the modules of the calling process, as the system's
// module snapshot lists them, as far as the list has room; empty when no
// snapshot can be taken. Names keep their printable ASCII characters, any
// other becomes '?', and are cut to the record's room: converted in place,
// without the heap.
void listModules(SModuleList& modules) noexcept;

} // namespace crashhandler
