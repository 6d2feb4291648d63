#include "platform/writeDebugText.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <windows.h>

namespace lumo {

namespace {

// Invalid UTF-8 comes out as replacement characters; text too long for one
// conversion is cut, which a debugger's view would do anyway.
std::wstring wideOf(std::string_view text)
{
    const int length = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    if (wideLength > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), wideLength);
    return wide;
}

} // namespace

void writeDebugText(std::string_view text)
{
    // A debugger shows the one channel, a console or a log file the other.
    OutputDebugStringW(wideOf(text).c_str());
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace lumo
