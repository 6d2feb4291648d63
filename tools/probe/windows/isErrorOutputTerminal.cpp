#include "tools/probe/isErrorOutputTerminal.h"

#include <windows.h>

namespace nebo::probe {

// A console answers the console mode query; a file or a pipe does not.
bool isErrorOutputTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

} // namespace nebo::probe
