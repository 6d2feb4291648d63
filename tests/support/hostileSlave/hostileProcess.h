#pragma once

// What the stand-in slave asks of the system beyond lumo's services.
#include "platform/ISharedMemory.h"

namespace nebo::test {

bool isProcessAlive(int processID);

// From now on the master's hang report requests reach this process unanswered: no report, no end.
void ignoreHangReportRequests();

// True in the new process, false in this one. Throws std::runtime_error where the system cannot fork (Windows, where a
// confined slave's job forbids new processes anyway).
bool forkProcess();

// Tries from this side to shrink `buffer` to nothing and to grow it to twice its size; true when either worked.
bool tryResizing(lumo::ISharedMemory& buffer);

} // namespace nebo::test
