#include "foundation/CMultiEnum.h"

namespace lumo {

void CMultiEnum::skip() { requireCurrent().skip(); }

} // namespace lumo
