#include "processChild.h"

#include <cwchar>
#include <windows.h>

namespace {

std::string toUTF8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

} // namespace

// The wide entry, so that the C runtime splits the command line into words of
// any character.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(toUTF8(argv[i]));
    std::vector<std::string> environment;
    wchar_t* const block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; entry && *entry; entry += std::wcslen(entry) + 1)
        environment.push_back(toUTF8(entry));
    FreeEnvironmentStringsW(block);
    return nebo::test::runProcessChild(arguments, environment);
}
