#pragma once

#include <cstdint>

namespace lumo {

// Written after every object body: a reader that consumed a different
// number of bytes than the writer produced finds something else here.
constexpr int32_t objectMarker = 123456;

} // namespace lumo
