#pragma once

#include "platform/posix/SStartPlan.h"

#include <sys/types.h>

namespace lumo::posix {

// Starts the program of `plan` as the first process of new user, network,
// IPC and process-number namespaces, running as user and group 65534 that
// stand for the caller's effective user and group, so that exec leaves it
// no capability. `argv` and `envp` are the null-terminated vectors exec
// takes, made from the plan. False when the system refuses to make the
// namespaces: nothing was started then. Otherwise true, with `error` 0 and
// `pid` the child's identity as the caller sees it, or `error` the code of
// the first step that failed (the child is then reaped already).
// Safe in a multi-threaded caller: the child runs async-signal-safe calls
// only, with every signal blocked until its handlers are back to default.
bool startInOwnNamespaces(const SStartPlan& plan, char* const argv[], char* const envp[], pid_t& pid, int& error);

} // namespace lumo::posix
