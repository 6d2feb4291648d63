#pragma once

#include "foundation/IURI.h"

#include <string>

namespace nebo::avlib {

// Throws for an error code of the decoding library: CFileNotFoundError or
// CFileAccessDeniedError when the file is missing or refused, otherwise
// lumo::CError reading "<file>: could not <action>: <the library's text>".
[[noreturn]] void throwAvError(int errorCode, const lumo::IURI& uri, const char* action);

// Checks a code of the library: negative codes throw as above.
int checkAvResult(int result, const lumo::IURI& uri, const char* action);

// Throws lumo::CError "<file>: <text>" for failures the library reports
// without a code.
[[noreturn]] void throwMediaError(const lumo::IURI& uri, const std::string& text);

} // namespace nebo::avlib
