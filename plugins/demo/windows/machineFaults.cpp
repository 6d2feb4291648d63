#include "plugins/demo/machineFaults.h"

#include <intrin.h>

namespace nebo::demo {

// ud2: the system raises an illegal instruction (0xC000001D).
void executeIllegalInstruction() { __builtin_trap(); }

// int3: the system raises a breakpoint (0x80000003), which nothing but a
// debugger handles.
void hitBreakpoint() { __debugbreak(); }

} // namespace nebo::demo
