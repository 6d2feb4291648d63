#include "host/common/debugOutput.h"

#include "host/plugin/ILogManager.h"
#include "platform/writeDebugText.h"

#include <cstdlib>
#include <cstring>

namespace nebo::common {

bool isDebugOutputOnStderr()
{
    const char* setting = std::getenv("NEBO_DEBUG_OUTPUT");
    return setting && std::strcmp(setting, "stderr") == 0;
}

void writeDebugOutput(ILogManager* log, const lumo::String& text)
{
    if (isDebugOutputOnStderr()) {
        lumo::writeDebugText(text.toUTF8());
    } else if (log) {
        log->logText(debugOutputLevel, text);
    }
}

} // namespace nebo::common
