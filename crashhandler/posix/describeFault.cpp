#include "crashhandler/posix/describeFault.h"

#include "crashhandler/exceptionCodes.h"

#include <signal.h>

namespace crashhandler {

namespace {

constexpr uint64_t stackOverflowReach = 64 * 1024;
constexpr uint64_t unknownAddress = ~uint64_t(0);

// The processor's page-fault error bits and the access kinds they stand for.
constexpr uint64_t pageFaultWrite = 0x2;
constexpr uint64_t pageFaultFetch = 0x10;
constexpr uint64_t accessRead = 0;
constexpr uint64_t accessWrite = 1;
constexpr uint64_t accessExecute = 8;

// The si_code of a SIGSYS raised by a seccomp filter (SYS_SECCOMP, which
// only the kernel's headers name).
constexpr int signalCodeSeccomp = 1;

SFaultDescription withoutParameters(uint32_t code)
{
    SFaultDescription description;
    description.code = code;
    return description;
}

SFaultDescription onMemory(uint32_t code, uint64_t access, uint64_t address)
{
    SFaultDescription description;
    description.code = code;
    description.parameterCount = 2;
    description.parameters[0] = access;
    description.parameters[1] = address;
    return description;
}

uint64_t accessKind(uint64_t pageFaultError)
{
    if (pageFaultError & pageFaultFetch)
        return accessExecute;
    return (pageFaultError & pageFaultWrite) ? accessWrite : accessRead;
}

bool isNearStack(const SSignalFacts& facts)
{
    const uint64_t distance =
        facts.address > facts.stackPointer ? facts.address - facts.stackPointer : facts.stackPointer - facts.address;
    return distance <= stackOverflowReach;
}

SFaultDescription describeSegmentationFault(const SSignalFacts& facts)
{
    if (facts.signalCode == SEGV_BNDERR)
        return withoutParameters(arrayBoundsExceeded);
    // A general protection fault: the kernel does not know the address.
    if (facts.signalCode == SI_KERNEL)
        return onMemory(accessViolation, accessRead, unknownAddress);
    return onMemory(isNearStack(facts) ? stackOverflow : accessViolation, accessKind(facts.pageFaultError),
                    facts.address);
}

SFaultDescription describeBusError(const SSignalFacts& facts)
{
    if (facts.signalCode == BUS_ADRALN)
        return withoutParameters(datatypeMisalignment);
    return onMemory(inPageError, accessKind(facts.pageFaultError), facts.address);
}

uint32_t arithmeticCode(int signalCode)
{
    switch (signalCode) {
    case FPE_INTDIV:
        return integerDivideByZero;
    case FPE_INTOVF:
        return integerOverflow;
    case FPE_FLTDIV:
        return floatDivideByZero;
    case FPE_FLTOVF:
        return floatOverflow;
    case FPE_FLTUND:
        return floatUnderflow;
    case FPE_FLTRES:
        return floatInexactResult;
    case FPE_FLTSUB:
        return arrayBoundsExceeded;
    default:
        return floatInvalidOperation;
    }
}

uint32_t illegalCode(int signalCode)
{
    return signalCode == ILL_PRVOPC || signalCode == ILL_PRVREG ? privilegedInstruction : illegalInstruction;
}

SFaultDescription describeSystemCall(const SSignalFacts& facts)
{
    if (facts.signalCode != signalCodeSeccomp)
        return withoutParameters(customerCodeBase + SIGSYS);
    SFaultDescription description;
    description.code = forbiddenSystemCall;
    description.flags = noncontinuableFlag;
    description.parameterCount = 1;
    description.parameters[0] = static_cast<uint64_t>(facts.systemCall);
    return description;
}

uint32_t trapCode(int signalCode)
{
    return signalCode == TRAP_TRACE || signalCode == TRAP_BRANCH || signalCode == TRAP_HWBKPT ? singleStep : breakpoint;
}

} // namespace

SFaultDescription describeFault(const SSignalFacts& facts) noexcept
{
    const uint32_t ownCode = customerCodeBase + static_cast<uint32_t>(facts.signal);
    if (facts.signalCode <= 0) {
        SFaultDescription sent = withoutParameters(ownCode);
        sent.flags = noncontinuableFlag;
        return sent;
    }
    switch (facts.signal) {
    case SIGSEGV:
        return describeSegmentationFault(facts);
    case SIGBUS:
        return describeBusError(facts);
    case SIGFPE:
        return withoutParameters(arithmeticCode(facts.signalCode));
    case SIGILL:
        return withoutParameters(illegalCode(facts.signalCode));
    case SIGTRAP:
        return withoutParameters(trapCode(facts.signalCode));
    case SIGSYS:
        return describeSystemCall(facts);
    default:
        return withoutParameters(ownCode);
    }
}

} // namespace crashhandler
