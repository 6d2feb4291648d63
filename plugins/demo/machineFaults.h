#pragma once

namespace nebo::demo {

// The faults that only the processor's own instructions make, written for
// each platform.

// Executes an instruction the processor refuses.
[[noreturn]] void executeIllegalInstruction();
// Executes a breakpoint instruction, which ends a process no debugger watches.
void hitBreakpoint();

} // namespace nebo::demo
