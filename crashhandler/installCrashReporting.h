#pragma once

#include <cstdint>

namespace crashhandler {

// Makes a fault of any thread write its crash report (see ICrashHandler),
// which starts with "<applicationName> <versionText>", into the file at
// `reportPath`, and a copy to the debug output when `bDebugCopy`, and end
// the process. The master's request for a hang report does the same with
// the stacks of every thread, `servingThread` (the system's id of the
// thread that serves the master's calls) first.
//
// The path is copied: one longer than 4095 bytes installs nothing and
// answers false. The two texts stay the caller's and must remain valid
// while installed. Install from one thread, before other threads need it;
// installing again replaces the settings.
bool installCrashReporting(const char* reportPath, bool bDebugCopy, uint64_t servingThread, const char* applicationName,
                           const char* versionText);

// Puts back the handlers found at installation.
void removeCrashReporting();

} // namespace crashhandler
