#pragma once

#include "foundation/CObject.h"

namespace lumo {

// How a process factory is to start a program, handed to it as the `other`
// argument. The factory reads the fields once, when the program starts;
// without options every field keeps its default.
class CProcessOptions : public CObject {
public:
    // The program leads a process group of its own, and IProcess::terminate()
    // ends the whole group, so that nothing the program started outlives it;
    // that works also after the program itself has ended, for as long as its
    // process object lives. Keys typed at the caller's terminal no longer
    // reach the program.
    bool bOwnProcessGroup = false;
    // The program's standard output and standard error are thrown away
    // instead of being shared with the caller.
    bool bDiscardOutput = false;
};

} // namespace lumo
