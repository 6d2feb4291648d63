#pragma once

#include <cstddef>
#include <string>

namespace nebo::probe {

// At most `maxLines` lines and about `maxBytes` bytes of `text`, cut at a
// line or character boundary, with a last line saying how much was left
// out and that --verbose shows it all; `text` itself when it fits.
std::string cutForDisplay(const std::string& text, size_t maxBytes, size_t maxLines);

} // namespace nebo::probe
