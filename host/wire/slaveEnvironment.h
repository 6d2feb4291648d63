#pragma once

namespace nebo::common {

// The settings a master hands the slave it starts through the slave's
// environment, beside its command line; the slave reads them before it
// connects. Both hold a byte count.

// How many bytes of its heap the slave readies before it connects.
inline constexpr const char* heapAheadVariable = "NEBO_SLAVE_HEAP_AHEAD";
// The address space the slave's confinement allows it.
inline constexpr const char* addressSpaceVariable = "NEBO_SLAVE_MAX_ADDRESS_SPACE";

} // namespace nebo::common
