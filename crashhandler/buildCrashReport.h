#pragma once

#include "crashhandler/IReportSink.h"
#include "crashhandler/SCrashRecord.h"

namespace crashhandler {

// Writes the report of a crash to `sink`: the application line, the
// headline with the exception address and the module holding it, the
// description of the exception code, its parameters and flags, the register
// sections the record holds, the module list and a stack walk of at most
// 32 steps through the record's copy of the stack (see writeStackDump).
// A pure function of its arguments; async-signal-safe.
void buildCrashReport(const SCrashRecord& record, const char* applicationName, const char* versionText,
                      IReportSink& sink) noexcept;

} // namespace crashhandler
