#pragma once

#include <cstddef>
#include <string>

namespace nebo::probe {

// `utf8Text` made safe for a terminal: every control character but tab and
// line feed (C0, DEL and the C1 range, carriage return and escape among
// them) is shown as "\xNN" or "\u{NNNN}", so that no text of a slave can
// move the cursor, retitle the window or clear the screen. Each line after
// the first starts with `indent`, so that none can pass for a line of the
// program's own.
std::string escapeForTerminal(const std::string& utf8Text, const std::string& indent = std::string());

// At most `maxLines` lines and about `maxBytes` bytes of `text`, cut at a
// line or character boundary, with a last line saying how much was left
// out and that --verbose shows it all; `text` itself when it fits.
std::string cutForDisplay(const std::string& text, size_t maxBytes, size_t maxLines);

} // namespace nebo::probe
