#include "platform/CProcessFactory.h"

#include "platform/posix/CProcess.h"

namespace lumo {

P<IProcess> CProcessFactory::startProgram(const String& programPath, const String& arguments,
                                          const String& workingDirectory, int32_t priority,
                                          const CProcessOptions* options)
{
    return make<posix::CProcess>(programPath.toUTF8(), arguments, workingDirectory.toUTF8(), priority, options);
}

} // namespace lumo
