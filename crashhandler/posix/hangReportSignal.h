#pragma once

#include <csignal>

namespace crashhandler {

// The signal with which a master asks its slave where it hangs
// (IProcess::requestHangReport), and which the slave's hang report handler
// answers. One of the two that POSIX leaves to applications: nothing else
// sends it, and a process without a handler ends of it, which is what a
// master that asks a slave without one wants anyway.
constexpr int hangReportSignal = SIGUSR1;

} // namespace crashhandler
