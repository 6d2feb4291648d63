#pragma once

#include <cstdint>

namespace crashhandler {

// The platform's description of a fault, as its crash hook receives it.
struct SExceptionPointers;

using TCrashFilter = void (*)(const SExceptionPointers& pointers) noexcept;

// The backend's part of installCrashReporting: makes `filter` hear of every
// fault that would end the process, and the master's request for a hang
// report write the stacks of every thread, `servingThread` (the system's id
// of the thread that serves the master's calls) first, into the file at
// `reportPath`. The path and the texts must remain valid while installed.
// Install from one thread, before other threads need it.
void installFaultHandlers(TCrashFilter filter, uint64_t servingThread, const char* reportPath,
                          const char* applicationName, const char* versionText);

// Puts back the handlers found at installation.
void removeFaultHandlers();

} // namespace crashhandler
