#include "platform/windows/toPipePath.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/windows/toWide.h"

namespace lumo::win32 {

namespace {

constexpr size_t longestPipePath = 256;

} // namespace

std::wstring toPipePath(const String& name)
{
    const std::wstring word = toWide(name);
    if (word.empty() || word.find_first_of(std::wstring(L"\\\0", 2)) != std::wstring::npos)
        throw CInvalidArgError("the pipe name must be one word without '\\'", "toPipePath");
    std::wstring path = L"\\\\.\\pipe\\" + word;
    if (path.size() > longestPipePath)
        throw CInvalidArgError("the pipe name is too long", "toPipePath");
    return path;
}

} // namespace lumo::win32
