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
    // The program holds no terminal: it runs in a session of its own, so
    // that it has no controlling terminal to push keys into or read keys
    // from, and reads its standard input from the null device. As the
    // session's leader it leads its own process group too, which
    // IProcess::terminate() ends as with bOwnProcessGroup. Windows ignores
    // the field: the programs it starts this way have no console.
    bool bNoTerminal = false;
    // Where the system lets the caller make them, the program starts in new
    // user, network, IPC and process-number namespaces: it is the first
    // process of its own process-number namespace, so that everything it
    // starts ends when it ends or is terminated; it reaches no network; and
    // it runs as the unprivileged user and group 65534, standing for the
    // caller's user and group, without any capability. Where the system
    // refuses such namespaces the program starts as without the field.
    // The program's process identity stays the one the caller sees, and it
    // finds the caller's pipes (its environment names their folder).
    // Windows ignores the field: it has no such namespaces.
    bool bOwnNamespaces = false;
    // The program's loader resolves every symbol of every library as it
    // loads it, instead of each at its first use: the start takes longer,
    // and every process the program forks later finds all resolved instead
    // of resolving again on its own copy. Windows ignores the field: its
    // loader binds at load anyway.
    bool bResolveAllAtStart = false;
};

} // namespace lumo
