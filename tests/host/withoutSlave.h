#pragma once

#include "platform/CTempFolder.h"
#include "support/CScopedEnvironment.h"
#include "support/CScopedPipePlace.h"

namespace nebo::common {

// The host tests run from a folder of their own, without the slave program: whatever starts a slave fails.
struct SWithoutSlave {
    lumo::CScopedPipePlace pipes;
    lumo::CTempFolder errorFiles;
    lumo::CScopedEnvironment temp{lumo::getTemporaryFolderVariable(), errorFiles.pathOf("").c_str()};
};

} // namespace nebo::common
