#include "platform/IProcessFactory.h"

#include "foundation/CURITypeNotSupportedError.h"

namespace lumo {

P<IProcess> createProcessOrThrow(IProcessFactory& factory, const P<IURI>& executable, const String& arguments,
                                 const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other, int32_t priority)
{
    P<IProcess> process = factory.tryCreateProcess(executable, arguments, workingDirectory, other, priority);
    if (!process)
        throw CURITypeNotSupportedError(executable.get());
    return process;
}

} // namespace lumo
