#include "platform/CProcessFactory.h"

#include "platform/windows/CPathes.h"
#include "platform/windows/CProcess.h"

namespace lumo {

P<IProcess> CProcessFactory::startProgram(const String& programPath, const String& arguments,
                                          const String& workingDirectory, int32_t priority,
                                          const CProcessOptions* options)
{
    using win32::CPathes;
    return make<win32::CProcess>(CPathes::systemPathOf(programPath), arguments, CPathes::systemPathOf(workingDirectory),
                                 priority, options);
}

} // namespace lumo
