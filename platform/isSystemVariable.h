#pragma once

#include <string>

namespace lumo {

// Whether the environment variable `name` is one that any program of the
// platform needs to run as its user expects: the search path, the temporary
// folder, the locale and time zone on POSIX; on Windows also the system's
// folders, without which system libraries fail to load, its names compared
// in any case, as Windows does. Any thread may ask.
bool isSystemVariable(const std::string& name);

} // namespace lumo
