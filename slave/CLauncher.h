#pragma once

#include "slave/CSlaveServices.h"

#include <string_view>

namespace nebo::common {

// The slave program as a launcher: it loads one plugin once and forks a
// child per request of its master, each child a slave of one run (see
// CSlave::runChild), so that a slave costs a fork instead of a program's
// start. It connects to the master's control pipe as a slave connects to
// its pipe, confines itself as a slave does before the plugin loads (its
// filter also lets it fork; each child narrows to a slave's), then serves
// requests until the master closes the pipe (lumo::IForkServer).
class CLauncher {
public:
    // The first argument that makes the slave program a launcher; the five
    // fields of a slave's command line follow, the pipe being the control
    // pipe and the error file the launcher's own, in the folder where its
    // children's error files lie.
    static constexpr const char* modeArgument = "--launcher";
    static constexpr int exitNoFork = -5;
    static constexpr int exitFailed = 1;

    explicit CLauncher(CSlaveServices& services) : m_services(services) {}

    // Runs the launcher on the text after the mode argument; returns its
    // exit code once the master closed the control pipe and every child
    // ended. In a child the process ends when its run does and the call
    // never returns. Never throws.
    int run(std::string_view commandLine);

private:
    // Writes the launcher's failure into its error file, where the master reads it.
    void writeErrorFile(const std::string& path, const std::string& text);

    CSlaveServices& m_services;
};

} // namespace nebo::common
