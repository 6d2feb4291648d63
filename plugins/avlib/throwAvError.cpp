#include "plugins/avlib/throwAvError.h"

#include "foundation/CError.h"
#include "foundation/CFileAccessDeniedError.h"
#include "foundation/CFileNotFoundError.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>
#include <string>

namespace nebo::avlib {

void throwAvError(int errorCode, const lumo::IURI& uri, const char* action)
{
    if (errorCode == AVERROR(ENOENT))
        throw lumo::CFileNotFoundError(&uri);
    if (errorCode == AVERROR(EACCES))
        throw lumo::CFileAccessDeniedError(&uri);
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(errorCode, text, sizeof(text));
    throwMediaError(uri, std::string("could not ") + action + ": " + text);
}

int checkAvResult(int result, const lumo::IURI& uri, const char* action)
{
    if (result < 0)
        throwAvError(result, uri, action);
    return result;
}

void throwMediaError(const lumo::IURI& uri, const std::string& text)
{
    throw lumo::CError(uri.getDisplayText() + lumo::String::fromUTF8(": " + text), lumo::String("nebo_avlib"));
}

} // namespace nebo::avlib
