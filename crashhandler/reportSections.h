#pragma once

#include "crashhandler/CReportWriter.h"
#include "crashhandler/SCrashRecord.h"

namespace crashhandler {

// The sections that crash and hang reports share. Pure functions of their
// arguments; async-signal-safe.

// The module holding `address`; null when none does.
const SModule* findModule(const SModuleList& modules, uint64_t address) noexcept;

// "Context:" and the register sections the thread's context holds, each
// followed by a blank line.
void writeContext(CReportWriter& out, const SThreadContext& context) noexcept;

// "Module Addresses:" and a line "name : start-end" per module; a blank
// line alone when there are none.
void writeModules(CReportWriter& out, const SModuleList& modules) noexcept;

// "Stack Dump:" and a walk of at most 32 steps through the context's copy
// of the stack, each step a "Current Address: " line and a dump of its
// frame: the platform's own walk when the context holds one, otherwise one
// that follows the frame pointers. A frame outside the copy ends the walk.
// Nothing without the control registers.
void writeStackDump(CReportWriter& out, const SThreadContext& context) noexcept;

} // namespace crashhandler
