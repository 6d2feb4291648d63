#pragma once

#include "crashhandler/installFaultHandlers.h"
#include "crashhandler/windows/SExceptionPointers.h"

namespace crashhandler {

// Makes `filter` hear of every exception that would end the process: the
// structured exceptions nothing handles, a stack overflow as soon as it
// happens (the unhandled-exception filter would run on what is left of the
// overflowed stack), and abort(), which the C run-time library ends the
// process with without any exception (so does a C++ exception that nothing
// catches, through std::terminate), reported with the code 0xE0000000 plus
// SIGABRT. The filter runs on a thread made at installation, with a
// stack of its own, while the faulting thread waits; when it returns, the
// process ends with the exception's code. Only the first fault is filtered:
// another thread that faults meanwhile waits for the end. Install from one
// thread, before other threads need it.
void installFatalExceptionFilter(TCrashFilter filter);

// Ends the filter's thread and puts back the filters found at installation.
void removeFatalExceptionFilter();

} // namespace crashhandler
