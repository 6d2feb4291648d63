#include "crashhandler/posix/systemCallName.h"

#include <sys/syscall.h>

namespace crashhandler {

namespace {

struct SSystemCall {
    int number;
    const char* name;
};

// The calls the sandbox's filter answers with SIGSYS rather than an error.
constexpr SSystemCall trappedCalls[] = {
    {SYS_execve, "execve"},
    {SYS_execveat, "execveat"},
};

} // namespace

const char* systemCallName(int number) noexcept
{
    for (const SSystemCall& call : trappedCalls) {
        if (call.number == number)
            return call.name;
    }
    return nullptr;
}

} // namespace crashhandler
