#pragma once

namespace lumo {

// The character between the folders of a search path setting, such as the
// plugin path: ':' on POSIX, ';' on Windows, whose absolute paths hold ':'
// after the drive letter. Any thread may ask.
char getPathListSeparator();

} // namespace lumo
