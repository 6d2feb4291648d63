#pragma once

#include <cstdint>

namespace crashhandler {

// The exception codes a report describes. A fault with no counterpart here
// gets a code of the customer range, 0xE0000000 plus its signal number.
constexpr uint32_t accessViolation = 0xC0000005;
constexpr uint32_t datatypeMisalignment = 0x80000002;
constexpr uint32_t breakpoint = 0x80000003;
constexpr uint32_t singleStep = 0x80000004;
constexpr uint32_t inPageError = 0xC0000006;
constexpr uint32_t illegalInstruction = 0xC000001D;
constexpr uint32_t noncontinuableException = 0xC0000025;
constexpr uint32_t invalidDisposition = 0xC0000026;
constexpr uint32_t arrayBoundsExceeded = 0xC000008C;
constexpr uint32_t floatDenormalOperand = 0xC000008D;
constexpr uint32_t floatDivideByZero = 0xC000008E;
constexpr uint32_t floatInexactResult = 0xC000008F;
constexpr uint32_t floatInvalidOperation = 0xC0000090;
constexpr uint32_t floatOverflow = 0xC0000091;
constexpr uint32_t floatStackCheck = 0xC0000092;
constexpr uint32_t floatUnderflow = 0xC0000093;
constexpr uint32_t integerDivideByZero = 0xC0000094;
constexpr uint32_t integerOverflow = 0xC0000095;
constexpr uint32_t privilegedInstruction = 0xC0000096;
constexpr uint32_t stackOverflow = 0xC00000FD;
constexpr uint32_t customerCodeBase = 0xE0000000;
// A system call the sandbox traps: of the customer range, above every
// signal number. Its parameter is the call's number.
constexpr uint32_t forbiddenSystemCall = customerCodeBase + 0x100;

// The exception flag of a fault that cannot be resumed.
constexpr uint32_t noncontinuableFlag = 1;

} // namespace crashhandler
