#pragma once

#include <optional>
#include <string_view>

namespace nebo::demo {

// Ways a demo source can misbehave on purpose, so that the host's handling
// of a failing plugin can be tried for real.
enum class EDemoFault {
    none,
    readNull,      // "read0": reads address 0
    write16,       // "write16": writes to address 16
    divideByZero,  // "divzero": divides an integer by zero
    illegal,       // "illegal": executes an illegal instruction
    breakpoint,    // "breakpoint": traps
    stackOverflow, // "stack": recurses without end
    abort,         // "abort": calls abort()
    error,         // "throw": throws CError "demo failure"
    stdError,      // "stdthrow": throws std::runtime_error "demo std failure"
    exit,          // "exit": ends the process at once with status 3
    hang,          // "hang": never returns
};

// The fault a query value names, or nothing for an unknown name.
std::optional<EDemoFault> parseDemoFault(std::string_view name);

// Does what `fault` says; returns only for EDemoFault::none.
void misbehave(EDemoFault fault);

} // namespace nebo::demo
