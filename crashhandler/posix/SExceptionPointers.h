#pragma once

#include <signal.h>
#include <ucontext.h>

namespace crashhandler {

// A fatal signal as its handler receives it: the number, what the kernel
// says about it and the interrupted thread's registers.
struct SExceptionPointers {
    int signal;
    const siginfo_t* info;
    const ucontext_t* context;
};

} // namespace crashhandler
