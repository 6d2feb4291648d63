#pragma once

#include "foundation/String.h"

namespace lumo {

class IURI;

// The platform's message for a system error code (errno on POSIX), without
// a trailing line break. Never throws for an unknown code.
String getSystemErrorText(int errorCode);

// Throws CError whose description is the template with %ERRORDESC% replaced
// by the text of the code. Codes meaning that a file or its folder does not
// exist throw CFileNotFoundError for the URI (null allowed) instead.
[[noreturn]] void throwSystemError(const String& descriptionTemplate, int errorCode, const IURI* uri = nullptr);

} // namespace lumo
