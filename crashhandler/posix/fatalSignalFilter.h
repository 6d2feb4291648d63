#pragma once

#include "crashhandler/installFaultHandlers.h"
#include "crashhandler/posix/SExceptionPointers.h"

namespace crashhandler {

// Makes `filter` hear of every fatal signal of the process: SIGSEGV,
// SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT and SIGSYS. The filter runs on an
// alternate stack of the installing thread, so that a stack overflow there
// is reported too. It must be async-signal-safe. When it returns the
// process dies of the original signal, as it would have without it. Only
// the first fault is filtered: another thread that faults meanwhile waits
// for the end. Install from one thread, before other threads need it.
void installFatalSignalFilter(TCrashFilter filter);

// Puts back the signal handlers and alternate stack found at installation.
void removeFatalSignalFilter();

} // namespace crashhandler
