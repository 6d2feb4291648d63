#pragma once

#include <map>
#include <string>

namespace nebo::test {

// The parameters of the acts, by name, from a URI's query.
using IntruderParameters = std::map<std::string, std::string>;

// Tries the act named `act` from inside a slave, against its master and the files, network, terminals and processes
// around it, and returns "done" or "refused (<reason>)"; "unknown act" for a name it does not know. Each act takes what
// it needs from `parameters` (the master's process id, a path, a port, ...); std::logic_error if missing or malformed.
std::string runIntruderAct(const std::string& act, const IntruderParameters& parameters);

} // namespace nebo::test
