#include "foundation/sync/posix/CSignalFactory.h"

#include "foundation/sync/posix/CSignalImpl.h"

namespace lumo::posix {

P<ISignal> CSignalFactory::createSignal() { return make<CSignalImpl>(); }

} // namespace lumo::posix

namespace lumo {

P<ISignalFactory> createSignalFactory() { return make<posix::CSignalFactory>(); }

} // namespace lumo
