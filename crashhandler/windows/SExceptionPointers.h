#pragma once

#include <windows.h>

namespace crashhandler {

// A structured exception as its filter receives it: what happened and the
// registers of the thread it happened to.
struct SExceptionPointers {
    const EXCEPTION_RECORD* record;
    const CONTEXT* context;
};

} // namespace crashhandler
