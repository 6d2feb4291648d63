#include "crashhandler/posix/systemCallName.h"

#include "crashhandler/posix/trappedSystemCalls.h"

namespace crashhandler {

const char* systemCallName(int number) noexcept
{
    for (const STrappedCall& call : trappedSystemCalls) {
        if (call.number == number)
            return call.name;
    }
    return nullptr;
}

} // namespace crashhandler
