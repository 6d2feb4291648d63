#include "foundation/sync/windows/CSignalFactory.h"

#include "foundation/sync/windows/CSignalImpl.h"

namespace lumo::win32 {

P<ISignal> CSignalFactory::createSignal() { return make<CSignalImpl>(); }

} // namespace lumo::win32

namespace lumo {

P<ISignalFactory> createSignalFactory() { return make<win32::CSignalFactory>(); }

} // namespace lumo
