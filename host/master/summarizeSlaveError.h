#pragma once

#include <string>

namespace nebo::common {

// A few lines that say what a slave's error text is about. For a crash
// report: the exception line with its module, the explanation, the
// additional information and the innermost frame of each of the first
// modules on the stack. For a hang report: "Hang Report" and the same
// frames of the thread serving the master's calls, never another
// thread's. For any other text: its first lines, up to the first that is
// mostly bytes no text holds, which a note stands for. The result never exceeds a few hundred
// characters, whatever the text holds; it is not escaped.
std::string summarizeSlaveError(const std::string& text);

} // namespace nebo::common
