#pragma once

namespace crashhandler {

// The name of a system call the sandbox traps (trappedSystemCalls.h), by
// its number on this machine; null for any other. A text of static
// storage; async-signal-safe.
const char* systemCallName(int number) noexcept;

} // namespace crashhandler
