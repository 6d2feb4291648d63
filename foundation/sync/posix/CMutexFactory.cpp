#include "foundation/sync/posix/CMutexFactory.h"

#include "foundation/sync/posix/CGlobalMutexImpl.h"
#include "foundation/sync/posix/CMutexImpl.h"

namespace lumo::posix {

P<IMutex> CMutexFactory::createMutex() { return make<CMutexImpl>(); }

P<IMutex> CMutexFactory::createGlobalMutex(const String& name) { return make<CGlobalMutexImpl>(name); }

} // namespace lumo::posix

namespace lumo {

P<IMutexFactory> createMutexFactory() { return make<posix::CMutexFactory>(); }

} // namespace lumo
