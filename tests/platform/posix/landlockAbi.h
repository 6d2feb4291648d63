#pragma once

#include <linux/landlock.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lumo {

// The Landlock ABI the running kernel offers; 0 when it has none.
inline int landlockAbi()
{
    const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return abi > 0 ? static_cast<int>(abi) : 0;
}

} // namespace lumo
