#include "host/plugin/getPluginMemoryManager.h"

#include "host/plugin/INEBContext.h"
#include "streams/CMemoryManager.h"

namespace nebo::common {

lumo::P<lumo::IMemoryManager> getPluginMemoryManager(INEBContext* context)
{
    lumo::P<lumo::IMemoryManager> memory = context ? context->getMemoryManager() : nullptr;
    return memory ? memory : lumo::make<lumo::CMemoryManager>(30);
}

} // namespace nebo::common
