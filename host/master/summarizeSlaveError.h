#pragma once

#include <string>

namespace nebo::common {

// A few lines that say what a slave's error text is about: for a crash
// report, the exception line, the explanation, the additional information
// and the innermost frame of each of the first modules on the stack; for a
// hang report, "Hang Report" and those frames of the thread serving the
// master's calls; else the first lines, up to one that is mostly binary,
// which a note stands for. At most a few hundred characters; not escaped.
std::string summarizeSlaveError(const std::string& text);

} // namespace nebo::common
