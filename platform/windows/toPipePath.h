#pragma once

#include <string>

namespace lumo {
class String;
}

namespace lumo::win32 {

// The system's path of the pipe `name`: "\\.\pipe\" and the name. Throws
// CInvalidArgError for a name that is empty, holds a '\' or a zero
// character, or makes a path longer than the 256 characters the system
// takes.
std::wstring toPipePath(const String& name);

} // namespace lumo::win32
