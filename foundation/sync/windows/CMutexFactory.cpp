#include "foundation/sync/windows/CMutexFactory.h"

#include "foundation/sync/windows/CGlobalMutexImpl.h"
#include "foundation/sync/windows/CMutexImpl.h"

namespace lumo::win32 {

P<IMutex> CMutexFactory::createMutex() { return make<CMutexImpl>(); }

P<IMutex> CMutexFactory::createGlobalMutex(const String& name) { return make<CGlobalMutexImpl>(name); }

} // namespace lumo::win32

namespace lumo {

P<IMutexFactory> createMutexFactory() { return make<win32::CMutexFactory>(); }

} // namespace lumo
