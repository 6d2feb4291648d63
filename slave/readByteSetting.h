#pragma once

#include <cstdint>
#include <optional>

namespace nebo::common {

// The positive whole number of bytes that the environment variable
// `variable` holds, as the master sets it for its slaves; nothing when the
// variable is missing, holds anything else, or a number beyond 64 bits.
std::optional<uint64_t> readByteSetting(const char* variable);

} // namespace nebo::common
