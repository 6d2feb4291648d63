#include "foundation/CEmptyEnum.h"

#include "foundation/CEndOfEnumError.h"

namespace lumo {

bool CEmptyEnum::hasMoreElements() { return false; }

int32_t CEmptyEnum::getRemainingCount() { return 0; }

P<IBase> CEmptyEnum::nextElement() { throw CEndOfEnumError(this); }

void CEmptyEnum::reset() {}

void CEmptyEnum::skip() { nextElement(); }

} // namespace lumo
