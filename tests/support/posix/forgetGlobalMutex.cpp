#include "support/forgetGlobalMutex.h"

#include "foundation/sync/posix/CGlobalMutexImpl.h"

#include <sys/mman.h>

namespace lumo {

void forgetGlobalMutex(const String& name) { shm_unlink(posix::CGlobalMutexImpl::getSharedMemoryName(name).c_str()); }

} // namespace lumo
