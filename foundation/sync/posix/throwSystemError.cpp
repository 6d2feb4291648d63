#include "foundation/sync/throwSystemError.h"

#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"

#include <cerrno>
#include <cstring>

namespace lumo {

namespace {

// strerror_r comes in two shapes: the GNU one returns the text, the POSIX
// one fills the buffer and returns 0 on success.
[[maybe_unused]] const char* messageOf(const char* gnuResult, const char*) { return gnuResult; }

[[maybe_unused]] const char* messageOf(int posixResult, const char* buffer)
{
    return posixResult == 0 ? buffer : nullptr;
}

bool meansNotFound(int errorCode) { return errorCode == ENOENT || errorCode == ENOTDIR; }

} // namespace

String getSystemErrorText(int errorCode)
{
    char buffer[256] = {};
    const char* message = messageOf(strerror_r(errorCode, buffer, sizeof buffer), buffer);
    if (!message || !*message)
        return String("Unknown error ") + String::fromInt(errorCode);
    return String::fromCodePage(message);
}

void throwSystemError(const String& descriptionTemplate, int errorCode, const IURI* uri)
{
    if (meansNotFound(errorCode))
        throw CFileNotFoundError(uri);
    throw CError(descriptionTemplate.replace("%ERRORDESC%", getSystemErrorText(errorCode)));
}

} // namespace lumo
