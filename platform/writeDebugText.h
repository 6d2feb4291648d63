#pragma once

#include <string_view>

namespace lumo {

// Writes UTF-8 `text` to the platform's debug channel (standard error on
// POSIX) and flushes it, so that it is seen even when the process dies next.
// Any thread may call; failures are ignored, nothing is thrown.
void writeDebugText(std::string_view text);

} // namespace lumo
