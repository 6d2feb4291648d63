#include "plugins/demo/demoFaults.h"

#include "foundation/CError.h"
#include "plugins/demo/machineFaults.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <thread>

namespace nebo::demo {

namespace {

// Volatile, so that the compiler cannot see what the faults do and leave
// them out.
volatile int g_zero = 0;
volatile int g_one = 1;
int* volatile g_lowAddress = nullptr;

int recurseForever(int depth)
{
    volatile char frame[256];
    frame[0] = static_cast<char>(depth);
    if (g_zero != 0)
        return depth;
    // The addition after the call keeps it from becoming a loop.
    return recurseForever(depth + 1) + frame[0];
}

} // namespace

std::optional<EDemoFault> parseDemoFault(std::string_view name)
{
    static const std::map<std::string_view, EDemoFault> faults = {
        {"read0", EDemoFault::readNull},
        {"write16", EDemoFault::write16},
        {"divzero", EDemoFault::divideByZero},
        {"illegal", EDemoFault::illegal},
        {"breakpoint", EDemoFault::breakpoint},
        {"stack", EDemoFault::stackOverflow},
        {"abort", EDemoFault::abort},
        {"throw", EDemoFault::error},
        {"stdthrow", EDemoFault::stdError},
        {"exit", EDemoFault::exit},
        {"hang", EDemoFault::hang},
    };
    const auto found = faults.find(name);
    if (found == faults.end())
        return std::nullopt;
    return found->second;
}

void misbehave(EDemoFault fault)
{
    switch (fault) {
    case EDemoFault::none:
        return;
    case EDemoFault::readNull:
        g_zero = *g_lowAddress;
        break;
    case EDemoFault::write16:
        *reinterpret_cast<volatile int*>(reinterpret_cast<uintptr_t>(g_lowAddress) + 16) = 1;
        break;
    case EDemoFault::divideByZero:
        // Both sides volatile: 1 / x alone is folded into compares.
        g_zero = g_one / g_zero;
        break;
    case EDemoFault::illegal:
        executeIllegalInstruction();
    case EDemoFault::breakpoint:
        hitBreakpoint();
        break;
    case EDemoFault::stackOverflow:
        g_zero = recurseForever(0);
        break;
    case EDemoFault::abort:
        std::abort();
    case EDemoFault::error:
        throw lumo::CError(lumo::String::fromUTF8("demo failure"));
    case EDemoFault::stdError:
        throw std::runtime_error("demo std failure");
    case EDemoFault::exit:
        // No exit handlers, no flushing: as abruptly as a plugin can end.
        std::_Exit(3);
    case EDemoFault::hang:
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

} // namespace nebo::demo
