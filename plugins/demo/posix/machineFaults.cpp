#include "plugins/demo/machineFaults.h"

namespace nebo::demo {

void executeIllegalInstruction() { __builtin_trap(); }

void hitBreakpoint() { asm volatile("int3"); }

} // namespace nebo::demo
