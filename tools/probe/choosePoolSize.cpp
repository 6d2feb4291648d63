#include "tools/probe/choosePoolSize.h"

#include "host/master/CSlavePool.h"

#include <algorithm>

namespace nebo::probe {

int32_t choosePoolSize(const CProbeOptions& options, size_t mediaCount, size_t jobs)
{
    if (options.poolSize)
        return *options.poolSize;
    const size_t waiting = mediaCount > jobs ? mediaCount - jobs : 0;
    return static_cast<int32_t>(std::min({jobs, waiting, static_cast<size_t>(common::CSlavePool::maxSlavesPerPlugin)}));
}

} // namespace nebo::probe
