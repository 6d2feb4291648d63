#pragma once

#include <cstddef>
#include <cstdint>

namespace crashhandler {

// A fatal signal told as an exception: code, flags and parameters.
struct SFaultDescription {
    uint32_t code = 0;
    uint32_t flags = 0;
    size_t parameterCount = 0;
    uint64_t parameters[2] = {};
};

// What the kernel knows of a fatal signal.
struct SSignalFacts {
    int signal;
    int signalCode;          // si_code
    uint64_t address;        // si_addr
    uint64_t pageFaultError; // the processor's error code of a page fault
    uint64_t stackPointer;   // the thread's at the fault
    int systemCall = 0;      // si_syscall of a SIGSYS
};

// The exception code that describes a signal and its si_code. Faults on
// memory get the access kind (0 read, 1 write, 8 execute) and the address
// as parameters; one within 64 KiB of the stack pointer is a stack
// overflow. A signal sent by a process, or one with no counterpart, gets
// 0xE0000000 plus its number; a sent one cannot be resumed. A call the
// sandbox's seccomp filter trapped is a forbiddenSystemCall with the call's
// number as parameter; it cannot be resumed either.
SFaultDescription describeFault(const SSignalFacts& facts) noexcept;

} // namespace crashhandler
