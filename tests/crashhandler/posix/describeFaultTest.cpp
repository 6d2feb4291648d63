#include "crashhandler/posix/describeFault.h"

#include "crashhandler/exceptionCodes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace crashhandler {
namespace {

constexpr uint64_t stackPointer = 0x7ffd00100000;
constexpr uint64_t pageFaultWrite = 0x6;
constexpr uint64_t pageFaultFetch = 0x14;
constexpr int seccompTrap = 1;

TEST(describeFaultTest, SignalsAndTheirCodes)
{
    const struct {
        SSignalFacts facts;
        uint32_t code;
        std::vector<uint64_t> parameters;
        uint32_t flags = 0;
    } cases[] = {
        {{SIGSEGV, SEGV_MAPERR, 0, 0x4, stackPointer}, accessViolation, {0, 0}},
        {{SIGSEGV, SEGV_MAPERR, 0x10, pageFaultWrite, stackPointer}, accessViolation, {1, 0x10}},
        {{SIGSEGV, SEGV_ACCERR, 0x601000, pageFaultFetch, stackPointer}, accessViolation, {8, 0x601000}},
        {{SIGSEGV, SI_KERNEL, 0, 0, stackPointer}, accessViolation, {0, ~uint64_t(0)}},
        {{SIGSEGV, SEGV_BNDERR, 0x10, 0, stackPointer}, arrayBoundsExceeded, {}},
        // Just below the stack pointer, as a call into a used-up stack writes.
        {{SIGSEGV, SEGV_MAPERR, stackPointer - 8, pageFaultWrite, stackPointer}, stackOverflow, {1, stackPointer - 8}},
        {{SIGSEGV, SEGV_MAPERR, stackPointer - 0x20000, pageFaultWrite, stackPointer},
         accessViolation,
         {1, stackPointer - 0x20000}},
        {{SIGBUS, BUS_ADRALN, 0x1001, 0, stackPointer}, datatypeMisalignment, {}},
        {{SIGBUS, BUS_ADRERR, 0x7f0000000000, 0x4, stackPointer}, inPageError, {0, 0x7f0000000000}},
        {{SIGFPE, FPE_INTDIV, 0x401000, 0, stackPointer}, integerDivideByZero, {}},
        {{SIGFPE, FPE_FLTINV, 0x401000, 0, stackPointer}, floatInvalidOperation, {}},
        {{SIGILL, ILL_ILLOPN, 0x401000, 0, stackPointer}, illegalInstruction, {}},
        {{SIGILL, ILL_PRVOPC, 0x401000, 0, stackPointer}, privilegedInstruction, {}},
        {{SIGTRAP, SI_KERNEL, 0, 0, stackPointer}, breakpoint, {}},
        {{SIGTRAP, TRAP_TRACE, 0, 0, stackPointer}, singleStep, {}},
        // A signal another process sent, or a call the sandbox trapped, cannot be resumed.
        {{SIGSEGV, SI_USER, 0, 0, stackPointer}, customerCodeBase + SIGSEGV, {}, noncontinuableFlag},
        {{SIGSYS, seccompTrap, 0x401000, 0, stackPointer, 59}, forbiddenSystemCall, {59}, noncontinuableFlag},
        // A SIGSYS of another cause (a bad system call number) names no call.
        {{SIGSYS, 2, 0x401000, 0, stackPointer, 999}, customerCodeBase + SIGSYS, {}},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "signal " << expected.facts.signal << " code " << expected.facts.signalCode);
        const SFaultDescription fault = describeFault(expected.facts);
        EXPECT_EQ(fault.code, expected.code);
        EXPECT_EQ(fault.flags, expected.flags);
        EXPECT_EQ(std::vector<uint64_t>(fault.parameters, fault.parameters + fault.parameterCount),
                  expected.parameters);
    }
}

} // namespace
} // namespace crashhandler
