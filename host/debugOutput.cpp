#include "host/debugOutput.h"

#include "host/ILogManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace nebo::common {

namespace {

constexpr int32_t debugLevel = 3;

} // namespace

bool isDebugOutputOnStderr()
{
    const char* setting = std::getenv("NEBO_DEBUG_OUTPUT");
    return setting && std::strcmp(setting, "stderr") == 0;
}

void writeDebugOutput(ILogManager* log, const lumo::String& text)
{
    if (isDebugOutputOnStderr()) {
        std::fputs(text.toCodePage().c_str(), stderr);
        std::fflush(stderr);
    } else if (log) {
        log->logText(debugLevel, text);
    }
}

} // namespace nebo::common
