#pragma once

#include "foundation/CObject.h"

#include <functional>
#include <string>
#include <vector>

namespace lumo {

// How a process factory is to start a program, handed to it as the `other`
// argument. The factory reads the fields once, when the program starts;
// without options every field keeps its default.
class CProcessOptions : public CObject {
public:
    // Fills `environment` with the caller's variables whose names `isWanted`
    // accepts, in the caller's order, and sets `bOwnEnvironment`. Not safe
    // against threads that change the caller's environment meanwhile.
    void takeCallerVariables(const std::function<bool(const std::string& name)>& isWanted);

    // The program leads a process group of its own, and IProcess::terminate()
    // ends the whole group, so that nothing the program started outlives it;
    // that works also after the program itself has ended, for as long as its
    // process object lives. Keys typed at the caller's terminal no longer
    // reach the program.
    bool bOwnProcessGroup = false;
    // The program's standard output and standard error are thrown away
    // instead of being shared with the caller.
    bool bDiscardOutput = false;
    // The program's whole environment is `environment` ("NAME=value" each)
    // instead of a copy of the caller's.
    bool bOwnEnvironment = false;
    std::vector<std::string> environment;
    // The program inherits no descriptor but its standard input, output and
    // error, also of those the caller left open without close-on-exec.
    bool bInheritOnlyStandardDescriptors = false;
};

} // namespace lumo
